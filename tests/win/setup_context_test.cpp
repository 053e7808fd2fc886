// The installer context's folders as the running system resolves them, their fallbacks, and
// the default target folder formed from the system's Program Files folder.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <set>
#include <string>

#include "sys/setup_context.h"
#include "tests/win/sys_test_support.h"

namespace {

constexpr char kCurrentVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";

bool EndsWithBackslash(const char* path) {
  const std::string text = path;
  return !text.empty() && text.back() == '\\';
}

TEST(SetupContext, ResolvesTheRunningSystemsFolders) {
  SetupContext context;

  char expected[MAX_PATH];
  GetWindowsDirectoryA(expected, sizeof expected);
  EXPECT_STREQ(context.windowsFolder, expected);
  GetSystemDirectoryA(expected, sizeof expected);
  EXPECT_STREQ(context.systemFolder, expected);
  EXPECT_STREQ(context.sourceFolder, TestExecutableFolder().c_str());
  EXPECT_FALSE(EndsWithBackslash(context.windowsFolder));
  EXPECT_FALSE(EndsWithBackslash(context.systemFolder));
  EXPECT_TRUE(EndsWithBackslash(context.tempFolder)) << context.tempFolder;
  EXPECT_TRUE(PathExists(context.tempFolder)) << context.tempFolder;

  // Every shell folder this system knows is filled, and none keeps a trailing backslash.
  const char* const shellFolders[] = {
      context.startMenuFolder,       context.startupFolder,  context.desktopFolder,
      context.programsFolder,        context.commonProgramsFolder, context.appDataFolder,
      context.commonDocumentsFolder, context.personalFolder};
  for (const char* folder : shellFolders) {
    EXPECT_STRNE(folder, "");
    EXPECT_FALSE(EndsWithBackslash(folder)) << folder;
  }
  EXPECT_STREQ(context.targetFolder, "");
}

TEST(SetupContext, StartsWithTheFlowsSharedStateCleared) {
  SetupContext context;
  EXPECT_STREQ(context.deleteCloneCommand, "");
  EXPECT_EQ(context.RunningApps, 0u);
  EXPECT_EQ(context.recordChecksums, 1);
}

TEST(SetupContext, DefaultTargetFolderLiesBelowTheSystemsProgramFiles) {
  const RegistryValue programFiles = ReadMachineValue(kCurrentVersionKey, "ProgramFilesDir");
  ASSERT_TRUE(programFiles.present);
  EXPECT_STREQ(programFiles.data.c_str(), "C:\\Program Files");

  SetupContext context;
  EXPECT_STREQ(context.programFilesFolder, "C:\\Program Files");
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

// A shell whose folders are named after their numbers and which lacks the folders listed in
// missingShellFolders, as older systems lack the common ones.
std::set<int> missingShellFolders;

void ReadNumberedShellFolder(int csidl, char* path) {
  if (missingShellFolders.count(csidl)) {
    path[0] = '\0';
  } else {
    snprintf(path, MAX_PATH, "X:\\%d", csidl);
  }
}

TEST(SetupContext, EachFieldTakesItsShellFolderOrItsFallback) {
  struct Case {
    std::set<int> missing;
    const char* startMenu;
    const char* commonPrograms;
    const char* commonDocuments;
  } const cases[] = {
      {{}, "X:\\22", "X:\\23", "X:\\46"},
      {{CSIDL_COMMON_STARTMENU}, "X:\\11", "X:\\23", "X:\\46"},
      {{CSIDL_COMMON_PROGRAMS}, "X:\\22", "X:\\2", "X:\\46"},
      {{CSIDL_COMMON_DOCUMENTS}, "X:\\22", "X:\\23", "X:\\5"},
      // Without the user's folders either, the fallbacks stay empty.
      {{CSIDL_COMMON_STARTMENU, CSIDL_STARTMENU, CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS,
        CSIDL_COMMON_DOCUMENTS, CSIDL_PERSONAL},
       "", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.startMenu);
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
  EXPECT_STREQ(context.programsFolder, "X:\\2");
  EXPECT_STREQ(context.appDataFolder, "X:\\35");
  EXPECT_STREQ(context.personalFolder, "X:\\5");
}

}  // namespace
