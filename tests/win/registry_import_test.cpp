// The registry text import against the prefix's real registry: what the parser reads (tested
// natively) must land as REG_SZ, REG_DWORD and REG_BINARY values under the right root, the
// shipped 91-byte "Default" profile whole, a stop must keep what was written before, files that
// cannot be read do nothing, and ApplyProfileTexts takes a profile list in order.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "device/profile_text.h"
#include "script/registry_import.h"
#include "sys/setup_context.h"
#include "tests/win/script_run_support.h"

namespace {

using script_test::Scratch;

constexpr char kProfilesKey[] = "SOFTWARE\\Xelta\\Z614\\Profiles";
constexpr char kTestKey[] = "SOFTWARE\\Xelta\\Z614\\ImportTest";

void Import(const std::string& text) { ImportRegistryText(text.data(), text.size()); }

std::string Dword(uint32_t value) { return std::string(reinterpret_cast<const char*>(&value), 4); }

std::string StringValue(const char* key, const char* name) {
  return std::string(ReadMachineValue(key, name).data.c_str());
}

// The shipped "default.nwp": 91 bytes written as "hex:" over four lines.
std::string DefaultProfile(std::string* bytes) {
  std::string text = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614\\Profiles]\r\n\"Default\"=hex:";
  bytes->clear();
  for (int i = 0; i < 91; ++i) {
    const int value = (i * 37 + 11) & 0xFF;
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02x", value);
    text += byte;
    bytes->push_back(static_cast<char>(value));
    if (i < 90) text += ",";
    if (i == 22 || i == 45 || i == 68) text += "\\\r\n  ";
  }
  return text + "\r\n";
}

TEST(ImportRegistryText, WritesEachTypeOfValueUnderItsRoot) {
  Import("REGEDIT4\r\n\r\n"
         "[hkey_current_user\\Software\\Xelta\\Z614Import]\r\n\"User\"=\"yes\"\r\n"
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614\\ImportTest]\r\n"
         "\"Name\"=\"Xelta \\\"Z614\\\" in C:\\\\Apps\"\r\n"
         "\"Count\"=dword:0000012c\r\n"
         "\"Bytes\"=hex:01,02, ff,\\\r\n  10\r\n"
         "\"Expand\"=hex(2):41,00\r\n"
         "@=\"ignored\"\r\n"
         "\"Empty\"=\"\"\r\n");
  HKEY user = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Xelta\\Z614Import", 0, KEY_READ, &user), ERROR_SUCCESS);
  char data[16];
  DWORD size = sizeof data;
  EXPECT_EQ(RegQueryValueExA(user, "User", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size), ERROR_SUCCESS);
  EXPECT_EQ(std::string(data, size), std::string("yes\0", 4));
  RegCloseKey(user);

  struct Case {
    const char* name;
    DWORD type;
    std::string data;  // strings up to their terminator
  };
  const Case cases[] = {
      {"Name", REG_SZ, "Xelta \"Z614\" in C:\\Apps"},
      {"Count", REG_DWORD, Dword(300)},
      {"Bytes", REG_BINARY, std::string("\x01\x02\xff\x10", 4)},
      {"Expand", REG_BINARY, std::string("A\0", 2)},  // binary whatever the prefix names
      {"Empty", REG_SZ, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const RegistryValue v = ReadMachineValue(kTestKey, c.name);
    ASSERT_TRUE(v.present);
    EXPECT_EQ(v.type, c.type);
    EXPECT_EQ(c.type == REG_SZ ? std::string(v.data.c_str()) : v.data, c.data);
  }
  EXPECT_FALSE(ReadMachineValue(kTestKey, "").present);
}

TEST(ImportRegistryText, WritesTheShippedDefaultProfile) {
  std::string bytes;
  Import(DefaultProfile(&bytes));
  const RegistryValue v = ReadMachineValue(kProfilesKey, "Default");
  ASSERT_TRUE(v.present);
  EXPECT_EQ(v.type, static_cast<DWORD>(REG_BINARY));
  ASSERT_EQ(v.data.size(), 91u);
  EXPECT_EQ(v.data, bytes);
}

TEST(ImportRegistryText, AStopKeepsWhatWasWrittenBefore) {
  Import("REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614\\StopTest]\n\"Before\"=dword:1\n"
         "[HKEY_NOWHERE\\SOFTWARE\\Xelta]\n"
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614\\StopTest]\n\"After\"=dword:2\n");
  EXPECT_EQ(ReadMachineValue("SOFTWARE\\Xelta\\Z614\\StopTest", "Before").data, Dword(1));
  EXPECT_FALSE(ReadMachineValue("SOFTWARE\\Xelta\\Z614\\StopTest", "After").present);
  // Without the header line nothing is read.
  Import("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614\\HeaderTest]\n\"A\"=dword:1\n");
  EXPECT_FALSE(MachineKeyExists("SOFTWARE\\Xelta\\Z614\\HeaderTest"));
  ImportRegistryText(nullptr, 10);
  ImportRegistryText("REGEDIT4", 0);
}

TEST(ImportRegistryFile, ReadsTheFileWholeAndIgnoresAMissingOne) {
  Scratch scratch("regimport_file");
  const std::string path = scratch.Path("GeneralSettings.reg");
  ASSERT_TRUE(WriteTestFile(path, "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614\\FileTest]\r\n"
                                  "\"Port\"=\"COM3\"\r\n"));
  ImportRegistryFile(path.c_str());
  EXPECT_EQ(StringValue("SOFTWARE\\Xelta\\Z614\\FileTest", "Port"), "COM3");
  ImportRegistryFile(scratch.Path("missing.reg").c_str());
  ImportRegistryFile(scratch.folder.c_str());  // a folder reads as nothing
}

std::unique_ptr<ProfileText> MakeText(const char* name, const std::string& text) {
  auto profile = std::make_unique<ProfileText>();
  std::snprintf(profile->name, sizeof profile->name, "%s", name);
  profile->data.reset(new uint8_t[text.size() + 1]);
  std::memcpy(profile->data.get(), text.data(), text.size());
  profile->size = static_cast<uint32_t>(text.size());
  return profile;
}

TEST(ApplyProfileTexts, ImportsEveryTextOfTheListInOrder) {
  SetupContext context;
  std::string bytes;
  const std::string header = "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614\\Profiles]\r\n";
  context.nwpProfiles.Append(MakeText("default.nwp", DefaultProfile(&bytes)));
  context.nwpProfiles.Append(std::make_unique<ProfileText>());  // an entry that did not load
  context.nwpProfiles.Append(
      MakeText("C:\\Setup\\Operator.nwp", header + "\"Operator\"=\"Xelta Mobile\"\r\n\"Order\"=\"second\"\r\n"));
  context.nwkProfiles.Append(MakeText("net.nwk", header + "\"Order\"=\"third\"\r\n"));

  context.ApplyProfileTexts(context.nwpProfiles);
  EXPECT_EQ(ReadMachineValue(kProfilesKey, "Default").data, bytes);
  EXPECT_EQ(StringValue(kProfilesKey, "Operator"), "Xelta Mobile");
  EXPECT_EQ(StringValue(kProfilesKey, "Order"), "second");
  context.ApplyProfileTexts(context.nwkProfiles);
  EXPECT_EQ(StringValue(kProfilesKey, "Order"), "third");
}

}  // namespace
