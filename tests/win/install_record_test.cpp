// The installation record in the real registry: what its readers fall back to, what they
// create, and when the product counts as installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "sys/uninstall_registration.h"
#include "tests/win/sys_test_support.h"
#include "wizard/install_record.h"

namespace {

constexpr char kProductKey[] = "Software\\Xelta\\Z614";
constexpr char kRecordKey[] = "Software\\Xelta\\Z614\\Installation";
constexpr char kEntryKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Xelta Z614";

// Every test starts on a machine without the product.
class InstallRecord : public testing::Test {
 protected:
  void SetUp() override { Forget(); }
  void TearDown() override { Forget(); }
  static void Forget() {
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, kProductKey);
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, kEntryKey);
  }
};

TEST_F(InstallRecord, ReadingAFreshMachineCreatesTheEmptyKeyAndFallsBack) {
  ASSERT_FALSE(MachineKeyExists(kRecordKey));
  EXPECT_EQ(ReadInstalledComponents(), kAllComponents);
  EXPECT_TRUE(MachineKeyExists(kRecordKey));

  char folder[MAX_PATH] = "stale";
  EXPECT_EQ(ReadTargetFolder(folder), 0);
  EXPECT_STREQ(folder, "");
}

TEST_F(InstallRecord, ValuesAreStoredInTheirRegistryForms) {
  const char* const target = "C:\\Program Files\\Xelta\\Xelta Z614";
  ASSERT_EQ(WriteTargetFolder(target), 1);
  ASSERT_EQ(WriteInstalledComponents(kComponentUI | kComponentDriver | kComponentSC), 1);

  const RegistryValue folder = ReadMachineValue(kRecordKey, "TargetFolder");
  EXPECT_EQ(folder.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(folder.data, std::string(target) + '\0');
  const RegistryValue components = ReadMachineValue(kRecordKey, "InstalledComponents");
  EXPECT_EQ(components.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(components.data, std::string("\x25\0\0\0", 4));

  char read[MAX_PATH];
  EXPECT_EQ(ReadTargetFolder(read), 1);
  EXPECT_STREQ(read, target);
  EXPECT_EQ(ReadInstalledComponents(), kComponentUI | kComponentDriver | kComponentSC);
  EXPECT_EQ(WriteInstalledComponents(0), 1);  // Modify may leave no component at all
  EXPECT_EQ(ReadInstalledComponents(), 0u);
}

TEST_F(InstallRecord, MissingOrMalformedComponentsReadAsAllSix) {
  ASSERT_EQ(WriteTargetFolder("C:\\Card"), 1);
  EXPECT_EQ(ReadInstalledComponents(), kAllComponents);
  const WORD shortValue = 1;
  ASSERT_TRUE(SetMachineValue(kRecordKey, "InstalledComponents", REG_BINARY, &shortValue,
                              sizeof shortValue));
  EXPECT_EQ(ReadInstalledComponents(), kAllComponents);
}

TEST_F(InstallRecord, TargetFolderOfFullLengthReadsBackWhole) {
  std::string longest = "C:\\";
  while (longest.size() < MAX_PATH - 1) longest += "d\\";
  longest.resize(MAX_PATH - 1);  // 259 characters and the terminating zero fill the buffer
  ASSERT_EQ(WriteTargetFolder(longest.c_str()), 1);
  char read[MAX_PATH];
  EXPECT_EQ(ReadTargetFolder(read), 1);
  EXPECT_EQ(std::string(read), longest);

  const std::string tooLong = longest + "x";
  ASSERT_EQ(WriteTargetFolder(tooLong.c_str()), 1);
  EXPECT_EQ(ReadTargetFolder(read), 0);  // it would not fit the buffer
  EXPECT_STREQ(read, "");
}

TEST_F(InstallRecord, TargetFolderWithoutTerminatorReadsAsTheCharactersStored) {
  // Binary data reaches the reader exactly as stored. (A string value cannot be stored
  // unterminated on every system: the 9x registry always adds the terminator.)
  const char stored[] = {'C', ':', '\\', 'C', 'a', 'r', 'd'};
  ASSERT_TRUE(SetMachineValue(kRecordKey, "TargetFolder", REG_BINARY, stored, sizeof stored));
  char read[MAX_PATH];
  std::fill(read, read + MAX_PATH, '#');
  EXPECT_EQ(ReadTargetFolder(read), 1);
  EXPECT_STREQ(read, "C:\\Card");
}

TEST_F(InstallRecord, ProductIsInstalledOnlyWhenBothPlacesExist) {
  struct Case {
    bool entry;
    const char* targetFolder;  // nullptr: no value
    int installed;
  } const cases[] = {
      {false, nullptr, 0},
      {true, nullptr, 0},
      {true, "", 0},
      {false, "C:\\Program Files\\Xelta\\Xelta Z614", 0},
      {true, "C:\\Program Files\\Xelta\\Xelta Z614", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "entry " << c.entry << ", folder "
                                    << (c.targetFolder ? c.targetFolder : "(none)"));
    Forget();
    if (c.entry) {
      ASSERT_EQ(RegisterUninstall("Xelta Z614", "Xelta Z614", "C:\\UNINSTALL.EXE"), 1);
    }
    if (c.targetFolder) {
      ASSERT_EQ(WriteTargetFolder(c.targetFolder), 1);
    }
    EXPECT_EQ(IsProductInstalled() != 0, c.installed != 0);
  }
}

}  // namespace
