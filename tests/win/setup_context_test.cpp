// The installer context's folders as the running system resolves them, their fallbacks, and
// the default target folder formed from the system's Program Files folder.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <set>
#include <string>

#include "sys/setup_context.h"
#include "tests/win/sys_test_support.h"

namespace {

constexpr char kCurrentVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";

bool EndsWithBackslash(const char* path) {
  const size_t length = std::strlen(path);
  return length > 0 && path[length - 1] == '\\';
}

TEST(SetupContext, ResolvesTheRunningSystemsFolders) {
  SetupContext context;
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, sizeof windows);
  EXPECT_STREQ(context.windowsFolder, windows);
  EXPECT_FALSE(EndsWithBackslash(context.windowsFolder));
  EXPECT_FALSE(EndsWithBackslash(context.systemFolder));
  EXPECT_TRUE(EndsWithBackslash(context.tempFolder)) << context.tempFolder;
  EXPECT_STREQ(context.sourceFolder, TestExecutableFolder().c_str());
  for (const char* folder : {context.startMenuFolder, context.commonProgramsFolder,
                             context.commonDocumentsFolder, context.appDataFolder}) {
    EXPECT_STRNE(folder, "");
  }
}

TEST(SetupContext, DefaultTargetFolderLiesBelowTheSystemsProgramFiles) {
  SetupContext context;
  EXPECT_STREQ(context.programFilesFolder,
               ReadMachineValue(kCurrentVersionKey, "ProgramFilesDir").data.c_str());
  EXPECT_EQ(context.UseDefaultTargetFolder(), 1);
  EXPECT_STREQ(context.targetFolder, "C:\\Program Files\\Xelta\\Xelta Z614");

  // A folder the user or the installation record already gave is kept.
  snprintf(context.targetFolder, sizeof context.targetFolder, "D:\\Card");
  EXPECT_EQ(context.UseDefaultTargetFolder(), 1);
  EXPECT_STREQ(context.targetFolder, "D:\\Card");
}

TEST(SetupContext, ProgramFilesFallsBackToTheDriveRootWhenTheSystemDoesNotNameIt) {
  const RegistryValue saved = ReadMachineValue(kCurrentVersionKey, "ProgramFilesDir");
  ASSERT_TRUE(saved.present);
  ASSERT_EQ(SHDeleteValueA(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir"),
            ERROR_SUCCESS);
  SetupContext context;
  SetMachineValue(kCurrentVersionKey, "ProgramFilesDir", saved.type, saved.data.data(),
                  static_cast<DWORD>(saved.data.size()));
  EXPECT_STREQ(context.programFilesFolder, "C:\\");
  EXPECT_EQ(context.UseDefaultTargetFolder(), 1);
  EXPECT_STREQ(context.targetFolder, "C:\\Xelta\\Xelta Z614");
}

// A shell that names each folder after its number and lacks the folders listed here, as
// systems without common folders do.
std::set<int> missingShellFolders;

void ReadNumberedShellFolder(int csidl, char* path) {
  path[0] = '\0';
  if (!missingShellFolders.count(csidl)) snprintf(path, MAX_PATH, "X:\\%d", csidl);
}

TEST(SetupContext, EachFieldTakesItsShellFolderOrItsFallback) {
  struct Case {
    std::set<int> missing;
    const char* startMenu;
    const char* commonPrograms;
    const char* commonDocuments;
  } const cases[] = {
      {{}, "X:\\22", "X:\\23", "X:\\46"},
      {{CSIDL_COMMON_STARTMENU, CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_DOCUMENTS},
       "X:\\11", "X:\\2", "X:\\5"},
      {{CSIDL_COMMON_STARTMENU, CSIDL_STARTMENU, CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS,
        CSIDL_COMMON_DOCUMENTS, CSIDL_PERSONAL},
       "", "", ""},
  };
  for (const Case& c : cases) {
    missingShellFolders = c.missing;
    SetupContext context(ReadNumberedShellFolder);
    EXPECT_STREQ(context.startMenuFolder, c.startMenu);
    EXPECT_STREQ(context.commonProgramsFolder, c.commonPrograms);
    EXPECT_STREQ(context.commonDocumentsFolder, c.commonDocuments);
  }
  missingShellFolders.clear();
  SetupContext context(ReadNumberedShellFolder);
  EXPECT_STREQ(context.startupFolder, "X:\\7");
  EXPECT_STREQ(context.desktopFolder, "X:\\16");
  EXPECT_STREQ(context.appDataFolder, "X:\\35");
}

}  // namespace
