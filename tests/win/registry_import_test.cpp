// The registry text import against the prefix's real registry: REG_SZ with its escapes,
// REG_DWORD and REG_BINARY values, the shipped 91-byte "Default" profile, the five roots, a
// stop that keeps what was written before, files that cannot be read, and ApplyProfileTexts
// taking a profile list in order.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "device/profile_text.h"
#include "script/registry_import.h"
#include "sys/setup_context.h"
#include "tests/win/script_test_support.h"

namespace {

using script_test::Scratch;

constexpr char kProfilesKey[] = "SOFTWARE\\Xelta\\Z614\\Profiles";

void Import(const std::string& text) { ImportRegistryText(text.data(), text.size()); }

std::string Dword(uint32_t value) { return std::string(reinterpret_cast<const char*>(&value), 4); }

// The shipped "default.nwp": 91 bytes written as "hex:" over four lines.
std::string DefaultProfile(std::string* bytes) {
  std::string text =
      "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614\\Profiles]\r\n\"Default\"=hex:";
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

std::string ReadUserValue(const char* keyPath, const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
  char data[256];
  DWORD size = sizeof data;
  DWORD type = 0;
  const LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? std::string(data, size) : "<no value>";
}

TEST(ImportRegistryText, WritesStringDwordAndBinaryValues) {
  Import("REGEDIT4\r\n\r\n"
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614\\ImportTest]\r\n"
         "\"Name\"=\"Xelta \\\"Z614\\\" in C:\\\\Apps\"\r\n"
         "\"Count\"=dword:0000012c\r\n"
         "\"Short\"=dword:7\r\n"
         "\"Bytes\"=hex:01,02, ff,\\\r\n"
         "  10\r\n"
         "\"Expand\"=hex(2):41,00\r\n"
         "@=\"ignored\"\r\n"
         "\"Empty\"=\"\"\r\n");
  const char* key = "SOFTWARE\\Xelta\\Z614\\ImportTest";
  RegistryValue v = ReadMachineValue(key, "Name");
  ASSERT_TRUE(v.present);
  EXPECT_EQ(v.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::string(v.data.c_str()), "Xelta \"Z614\" in C:\\Apps");
  v = ReadMachineValue(key, "Count");
  EXPECT_EQ(v.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(v.data, Dword(300));
  EXPECT_EQ(ReadMachineValue(key, "Short").data, Dword(7));
  v = ReadMachineValue(key, "Bytes");
  EXPECT_EQ(v.type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(v.data, std::string("\x01\x02\xff\x10", 4));
  v = ReadMachineValue(key, "Expand");
  EXPECT_EQ(v.type, static_cast<DWORD>(REG_BINARY));  // binary whatever the prefix names
  EXPECT_EQ(v.data, std::string("A\0", 2));
  EXPECT_FALSE(ReadMachineValue(key, "").present);
  v = ReadMachineValue(key, "Empty");
  EXPECT_TRUE(v.present);
  EXPECT_EQ(std::string(v.data.c_str()), "");
}

TEST(ImportRegistryText, WritesTheShippedDefaultProfile) {
  std::string bytes;
  const std::string text = DefaultProfile(&bytes);
  Import(text);
  const RegistryValue v = ReadMachineValue(kProfilesKey, "Default");
  ASSERT_TRUE(v.present);
  EXPECT_EQ(v.type, static_cast<DWORD>(REG_BINARY));
  ASSERT_EQ(v.data.size(), 91u);
  EXPECT_EQ(v.data, bytes);
}

TEST(ImportRegistryText, TakesEveryRootAndStopsAtAnUnknownOneKeepingWhatItWrote) {
  Import("REGEDIT4\n"
         "[hkey_current_user\\Software\\Xelta\\Z614Import]\n\"User\"=\"yes\"\n"
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614\\StopTest]\n\"Before\"=dword:1\n"
         "[HKEY_NOWHERE\\SOFTWARE\\Xelta]\n"
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614\\StopTest]\n\"After\"=dword:2\n");
  EXPECT_EQ(ReadUserValue("Software\\Xelta\\Z614Import", "User"), std::string("yes\0", 4));
  EXPECT_EQ(ReadMachineValue("SOFTWARE\\Xelta\\Z614\\StopTest", "Before").data, Dword(1));
  EXPECT_FALSE(ReadMachineValue("SOFTWARE\\Xelta\\Z614\\StopTest", "After").present);

  // A key line without a backslash stops it too.
  Import("REGEDIT4\n[HKEY_LOCAL_MACHINE]\n\"Root\"=dword:3\n"
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614\\StopTest]\n\"Later\"=dword:4\n");
  EXPECT_FALSE(ReadMachineValue("SOFTWARE\\Xelta\\Z614\\StopTest", "Later").present);
}

TEST(ImportRegistryText, TheHeaderLineIsNeverReadAndEmptyTextsDoNothing) {
  Import("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614\\HeaderTest]\n\"A\"=dword:1\n");
  EXPECT_FALSE(MachineKeyExists("SOFTWARE\\Xelta\\Z614\\HeaderTest"));
  ImportRegistryText(nullptr, 10);
  ImportRegistryText("REGEDIT4", 0);
  // A one-line text with trailing control characters writes its value.
  std::string text = "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614\\HeaderTest]\r\n\"A\"=dword:5";
  text += std::string("\0\x1a\r\n", 4);
  Import(text);
  EXPECT_EQ(ReadMachineValue("SOFTWARE\\Xelta\\Z614\\HeaderTest", "A").data, Dword(5));
}

TEST(ImportRegistryFile, ReadsTheFileWholeAndIgnoresAMissingOne) {
  Scratch scratch("regimport_file");
  const std::string path = scratch.Path("GeneralSettings.reg");
  ASSERT_TRUE(WriteTestFile(path, "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614\\FileTest]\r\n"
                                  "\"Port\"=\"COM3\"\r\n"));
  ImportRegistryFile(path.c_str());
  EXPECT_EQ(std::string(ReadMachineValue("SOFTWARE\\Xelta\\Z614\\FileTest", "Port").data.c_str()),
            "COM3");
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
  context.nwpProfiles.Append(MakeText("default.nwp", DefaultProfile(&bytes)));
  context.nwpProfiles.Append(std::make_unique<ProfileText>());  // an entry that did not load
  context.nwpProfiles.Append(MakeText(
      "C:\\Setup\\Operator.nwp",
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614\\Profiles]\r\n"
      "\"Operator\"=\"Xelta Mobile\"\r\n\"Order\"=\"second\"\r\n"));
  context.nwkProfiles.Append(MakeText(
      "net.nwk", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614\\Profiles]\r\n"
                 "\"Order\"=\"third\"\r\n"));

  context.ApplyProfileTexts(context.nwpProfiles);
  EXPECT_EQ(ReadMachineValue(kProfilesKey, "Default").data, bytes);
  EXPECT_EQ(std::string(ReadMachineValue(kProfilesKey, "Operator").data.c_str()), "Xelta Mobile");
  EXPECT_EQ(std::string(ReadMachineValue(kProfilesKey, "Order").data.c_str()), "second");
  context.ApplyProfileTexts(context.nwkProfiles);
  EXPECT_EQ(std::string(ReadMachineValue(kProfilesKey, "Order").data.c_str()), "third");

  OwnedList<ProfileText> empty;
  context.ApplyProfileTexts(empty);
}

}  // namespace
