// The installer context's folders and default target folder as the running system resolves
// them, and the installation record in the registry.
#include <gtest/gtest.h>

#include <string>

#include "sys/setup_context.h"
#include "sys/uninstall_registration.h"
#include "tests/win/sys_test_support.h"
#include "wizard/install_record.h"

namespace {

constexpr char kRecordKey[] = "Software\\Xelta\\Z614\\Installation";

TEST(SetupContext, ResolvesTheRunningSystemsFoldersAndTheDefaultTarget) {
  SetupContext context;
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, sizeof windows);
  EXPECT_STREQ(context.windowsFolder, windows);
  EXPECT_NE(std::string(context.systemFolder).back(), '\\');
  EXPECT_EQ(std::string(context.tempFolder).back(), '\\');
  EXPECT_STREQ(context.sourceFolder, TestExecutableFolder().c_str());
  EXPECT_EQ(context.UseDefaultTargetFolder(), 1);  // the default's place: the install run's footprint
  // A folder the user or the installation record already gave is kept.
  snprintf(context.targetFolder, MAX_PATH, "D:\\Card");
  EXPECT_EQ(context.UseDefaultTargetFolder(), 1);
  EXPECT_STREQ(context.targetFolder, "D:\\Card");
}

void ForgetInstallation() {
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Xelta\\Z614");
  UnregisterUninstall("Xelta Z614");
}

TEST(InstallRecord, ReadersFallBackAndCreateTheKeyValuesRoundTripAndBothPlacesMeanInstalled) {
  ForgetInstallation();
  EXPECT_EQ(ReadInstalledComponents(), kAllComponents);
  EXPECT_TRUE(MachineKeyExists(kRecordKey));
  char folder[MAX_PATH] = "stale";
  EXPECT_EQ(ReadTargetFolder(folder), 0);
  EXPECT_STREQ(folder, "");

  // The values' types and bytes are in the install run's footprint.
  ASSERT_EQ(WriteInstalledComponents(kComponentUI | kComponentDriver | kComponentSC), 1);
  EXPECT_EQ(ReadInstalledComponents(), kComponentUI | kComponentDriver | kComponentSC);
  std::string longest = "C:\\";  // 259 characters and the zero fill the reader's buffer
  while (longest.size() < MAX_PATH - 1) longest += "d\\";
  longest.resize(MAX_PATH - 1);
  ASSERT_EQ(WriteTargetFolder(longest.c_str()), 1);
  EXPECT_EQ(ReadMachineValue(kRecordKey, "TargetFolder").data, longest + '\0');
  EXPECT_EQ(ReadTargetFolder(folder), 1);
  EXPECT_EQ(std::string(folder), longest);

  const struct {
    bool entry;
    const char* targetFolder;  // nullptr: no value
    bool installed;
  } cases[] = {
      {true, nullptr, false},
      {true, "", false},
      {false, "C:\\Program Files\\Xelta\\Xelta Z614", false},
      {true, "C:\\Program Files\\Xelta\\Xelta Z614", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.entry << " " << (c.targetFolder ? c.targetFolder : "-"));
    ForgetInstallation();
    ASSERT_TRUE(!c.entry || RegisterUninstall("Xelta Z614", "Xelta Z614", "C:\\UNINSTALL.EXE") == 1);
    ASSERT_TRUE(!c.targetFolder || WriteTargetFolder(c.targetFolder) == 1);
    EXPECT_EQ(IsProductInstalled() != 0, c.installed);
  }
  ForgetInstallation();
}

}  // namespace
