// The installer context's folders as the running system resolves them, with their fallbacks
// and the default target folder; the installation record in the registry, what its readers
// fall back to and create, and when the product counts as installed.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <set>
#include <string>

#include "sys/setup_context.h"
#include "sys/uninstall_registration.h"
#include "tests/win/sys_test_support.h"
#include "wizard/install_record.h"

namespace {

constexpr char kCurrentVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char kRecordKey[] = "Software\\Xelta\\Z614\\Installation";

TEST(SetupContext, ResolvesTheRunningSystemsFoldersAndTheDefaultTarget) {
  SetupContext context;
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, sizeof windows);
  EXPECT_STREQ(context.windowsFolder, windows);
  EXPECT_NE(std::string(context.systemFolder).back(), '\\');
  EXPECT_EQ(std::string(context.tempFolder).back(), '\\');
  EXPECT_STREQ(context.sourceFolder, TestExecutableFolder().c_str());
  for (const char* folder : {context.startMenuFolder, context.commonProgramsFolder,
                             context.commonDocumentsFolder, context.appDataFolder}) {
    EXPECT_STRNE(folder, "");
  }
  EXPECT_EQ(context.UseDefaultTargetFolder(), 1);
  EXPECT_STREQ(context.targetFolder, "C:\\Program Files\\Xelta\\Xelta Z614");
  // A folder the user or the installation record already gave is kept.
  snprintf(context.targetFolder, MAX_PATH, "D:\\Card");
  EXPECT_EQ(context.UseDefaultTargetFolder(), 1);
  EXPECT_STREQ(context.targetFolder, "D:\\Card");

  // Without the system's Program Files folder the drive's root stands in.
  const RegistryValue saved = ReadMachineValue(kCurrentVersionKey, "ProgramFilesDir");
  ASSERT_EQ(SHDeleteValueA(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir"), ERROR_SUCCESS);
  SetupContext withoutProgramFiles;
  SetMachineValue(kCurrentVersionKey, "ProgramFilesDir", saved.type, saved.data.data(),
                  static_cast<DWORD>(saved.data.size()));
  EXPECT_EQ(withoutProgramFiles.UseDefaultTargetFolder(), 1);
  EXPECT_STREQ(withoutProgramFiles.targetFolder, "C:\\Xelta\\Xelta Z614");
}

// A shell that names each folder after its number and lacks the folders listed here, as
// systems without common folders do.
std::set<int> missingShellFolders;

void ReadNumberedShellFolder(int csidl, char* path) {
  path[0] = '\0';
  if (!missingShellFolders.count(csidl)) snprintf(path, MAX_PATH, "X:\\%d", csidl);
}

TEST(SetupContext, EachCommonFolderFallsBackToTheUsersOwn) {
  const struct {
    std::set<int> missing;
    std::string folders;  // start menu, programs, documents
  } cases[] = {
      {{}, "X:\\22 X:\\23 X:\\46"},
      {{CSIDL_COMMON_STARTMENU, CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_DOCUMENTS}, "X:\\11 X:\\2 X:\\5"},
      {{CSIDL_COMMON_STARTMENU, CSIDL_STARTMENU, CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS,
        CSIDL_COMMON_DOCUMENTS, CSIDL_PERSONAL},
       "  "},
  };
  for (const auto& c : cases) {
    missingShellFolders = c.missing;
    SetupContext context(ReadNumberedShellFolder);
    EXPECT_EQ(std::string(context.startMenuFolder) + " " + context.commonProgramsFolder + " " +
                  context.commonDocumentsFolder,
              c.folders);
  }
  missingShellFolders.clear();
}

// Every test of the record starts and ends on a machine without the product.
class InstallRecord : public testing::Test {
 protected:
  void SetUp() override { Forget(); }
  void TearDown() override { Forget(); }
  static void Forget() {
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Xelta\\Z614");
    UnregisterUninstall("Xelta Z614");
  }
};

TEST_F(InstallRecord, ReadingAFreshMachineCreatesTheKeyAndFallsBackThenValuesRoundTrip) {
  EXPECT_EQ(ReadInstalledComponents(), kAllComponents);
  EXPECT_TRUE(MachineKeyExists(kRecordKey));
  char folder[MAX_PATH] = "stale";
  EXPECT_EQ(ReadTargetFolder(folder), 0);
  EXPECT_STREQ(folder, "");

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
  EXPECT_EQ(ReadTargetFolder(folder), 1);
  EXPECT_EQ(std::string(folder), longest);
}

TEST_F(InstallRecord, ProductIsInstalledOnlyWhenBothPlacesExist) {
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
