// The installation record in the registry: what its readers fall back to, what they create,
// and when the product counts as installed.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "sys/uninstall_registration.h"
#include "tests/win/sys_test_support.h"
#include "wizard/install_record.h"

namespace {

constexpr char kRecordKey[] = "Software\\Xelta\\Z614\\Installation";

// Every test starts and ends on a machine without the product.
class InstallRecord : public testing::Test {
 protected:
  void SetUp() override { Forget(); }
  void TearDown() override { Forget(); }
  static void Forget() {
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Xelta\\Z614");
    UnregisterUninstall("Xelta Z614");
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

TEST_F(InstallRecord, ValuesRoundTripInTheirRegistryForms) {
  ASSERT_EQ(WriteInstalledComponents(kComponentUI | kComponentDriver | kComponentSC), 1);
  const RegistryValue components = ReadMachineValue(kRecordKey, "InstalledComponents");
  EXPECT_EQ(components.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(components.data, std::string("\x25\0\0\0", 4));
  EXPECT_EQ(ReadInstalledComponents(), kComponentUI | kComponentDriver | kComponentSC);

  std::string longest = "C:\\";  // 259 characters and the zero fill the reader's buffer
  while (longest.size() < MAX_PATH - 1) longest += "d\\";
  longest.resize(MAX_PATH - 1);
  ASSERT_EQ(WriteTargetFolder(longest.c_str()), 1);
  EXPECT_EQ(ReadMachineValue(kRecordKey, "TargetFolder").data, longest + '\0');
  char read[MAX_PATH];
  EXPECT_EQ(ReadTargetFolder(read), 1);
  EXPECT_EQ(std::string(read), longest);
}

TEST_F(InstallRecord, TargetFolderWithoutTerminatorReadsAsTheCharactersStored) {
  // Binary data reaches the reader exactly as stored. (A string value cannot be stored
  // unterminated on every system: the 9x registry always adds the terminator.)
  const char stored[] = {'C', ':', '\\', 'C', 'a', 'r', 'd'};
  ASSERT_TRUE(SetMachineValue(kRecordKey, "TargetFolder", REG_BINARY, stored, sizeof stored));
  char read[MAX_PATH];
  std::memset(read, '#', sizeof read);
  EXPECT_EQ(ReadTargetFolder(read), 1);
  EXPECT_STREQ(read, "C:\\Card");
}

TEST_F(InstallRecord, ProductIsInstalledOnlyWhenBothPlacesExist) {
  struct Case {
    bool entry;
    const char* targetFolder;  // nullptr: no value
    bool installed;
  } const cases[] = {
      {false, nullptr, false},
      {true, nullptr, false},
      {true, "", false},
      {false, "C:\\Program Files\\Xelta\\Xelta Z614", false},
      {true, "C:\\Program Files\\Xelta\\Xelta Z614", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.entry << " " << (c.targetFolder ? c.targetFolder : "-"));
    Forget();
    if (c.entry) {
      ASSERT_EQ(RegisterUninstall("Xelta Z614", "Xelta Z614", "C:\\UNINSTALL.EXE"), 1);
    }
    if (c.targetFolder) {
      ASSERT_EQ(WriteTargetFolder(c.targetFolder), 1);
    }
    EXPECT_EQ(IsProductInstalled() != 0, c.installed);
  }
}

}  // namespace
