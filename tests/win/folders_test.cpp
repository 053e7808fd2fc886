// Folder tests, folder-chain creation and the target-folder probes. The probes must leave
// nothing behind, whatever they answer.
#include <gtest/gtest.h>

#include <string>

#include "sys/folder_probe.h"
#include "sys/folders.h"
#include "tests/win/sys_test_support.h"

namespace {

TEST(HasExtension, ComparesTheFilesLastExtensionWithoutRegardToCase) {
  struct Case {
    const char* path;
    const char* extension;
    int expected;
  } const cases[] = {
      {"C:\\Windows\\Inf\\Setup.INF", "inf", 1},
      {"C:\\a.b\\archive.tar.SMS", "sms", 1},
      {"C:\\a.b\\archive.tar.SMS", "tar", 0},
      {"C:\\folder.ext\\Makefile", "ext", 0},  // the dot is in a folder name
      {"C:\\Windows\\Setup", "INF", 0},
      {"", "INF", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HasExtension(c.path, c.extension), c.expected) << c.path << " " << c.extension;
  }
}

TEST(IsExistingFolder, TellsFoldersFromFilesAndRestoresTheCurrentFolder) {
  const std::string folder = MakeScratchFolder("is_folder");
  ASSERT_TRUE(WriteTestFile(folder + "\\file.txt", "x"));
  char before[MAX_PATH];
  GetCurrentDirectoryA(sizeof before, before);
  EXPECT_EQ(IsExistingFolder(folder.c_str()), 1);
  EXPECT_EQ(IsExistingFolder((folder + "\\file.txt").c_str()), 0);
  EXPECT_EQ(IsExistingFolder((folder + "\\missing").c_str()), 0);
  char after[MAX_PATH];
  GetCurrentDirectoryA(sizeof after, after);
  EXPECT_STREQ(after, before);
  DeleteFolderTree(folder.c_str());
}

TEST(CreateFolderChain, CreatesEveryMissingLevelOrFails) {
  const std::string folder = MakeScratchFolder("chain");
  const std::string deep = folder + "\\Program Files\\Xelta\\Xelta Z614";
  EXPECT_EQ(CreateFolderChain(deep.c_str()), 1);
  EXPECT_EQ(IsExistingFolder(deep.c_str()), 1);
  EXPECT_EQ(CreateFolderChain((deep + "\\Help\\").c_str()), 1);
  EXPECT_EQ(IsExistingFolder((deep + "\\Help").c_str()), 1);

  ASSERT_TRUE(WriteTestFile(folder + "\\file.txt", "x"));
  EXPECT_EQ(CreateFolderChain((folder + "\\file.txt\\sub").c_str()), 0);
  // A path beginning with a backslash fails at its first, empty, prefix.
  EXPECT_EQ(CreateFolderChain("\\z614\\sys\\chain\\rooted"), 0);
  EXPECT_FALSE(PathExists(folder + "\\rooted"));
  DeleteFolderTree(folder.c_str());
}

TEST(FolderProbes, AnswerWithoutLeavingAnythingBehind) {
  const std::string folder = MakeScratchFolder("probes");
  ASSERT_TRUE(WriteTestFile(folder + "\\file.txt", "x"));
  struct Case {
    std::string path;
    int canCreate;
    int canWrite;
  } const cases[] = {
      {folder, 2, 1},
      {folder + "\\Xelta\\Xelta Z614", 1, 1},   // two new levels, removed again
      {folder + "\\file.txt\\Xelta", 0, 0},     // a file stands where a folder would go
      {"", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(CanCreateFolder(c.path.c_str()), c.canCreate);
    EXPECT_EQ(CanWriteToFolder(c.path.c_str()), c.canWrite);
    EXPECT_EQ(CountEntries(folder), 1);  // only file.txt: no folder, no probe file
  }
  DeleteFolderTree(folder.c_str());
}

}  // namespace
