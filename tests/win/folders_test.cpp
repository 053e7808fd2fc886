// Folder tests, folder-chain creation and the target-folder probes against the real file
// system. The probes must leave nothing behind, whatever they answer.
#include <gtest/gtest.h>

#include <string>

#include "sys/folder_probe.h"
#include "sys/folders.h"
#include "tests/win/sys_test_support.h"

namespace {

std::string CurrentFolder() {
  char folder[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof folder, folder);
  return folder;
}

TEST(HasExtension, ComparesTheLastExtensionWithoutRegardToCase) {
  struct Case {
    const char* path;
    const char* extension;
    int expected;
  } const cases[] = {
      {"C:\\Windows\\Inf\\Setup.INF", "inf", 1},
      {"C:\\Windows\\Inf\\Setup.inf", "INF", 1},
      {"C:\\Program Files\\Xelta\\default.nwp", "NWP", 1},
      {"C:\\a.b\\archive.tar.SMS", "sms", 1},
      {"C:\\a.b\\archive.tar.SMS", "tar", 0},
      {"C:\\folder.ext\\Makefile", "ext", 0},  // the dot is in a folder name
      {"C:\\Windows\\Setup", "INF", 0},
      {"C:\\Windows\\Setup.", "INF", 0},
      {"C:\\Windows\\Setup.INF", "", 0},
      {"", "INF", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path) + " / " + c.extension);
    EXPECT_EQ(HasExtension(c.path, c.extension), c.expected);
  }
  EXPECT_EQ(HasExtension(nullptr, "INF"), 0);
  EXPECT_EQ(HasExtension("Setup.INF", nullptr), 0);
}

TEST(IsExistingFolder, TellsFoldersFromFilesAndRestoresTheCurrentFolder) {
  const std::string folder = MakeScratchFolder("is_folder");
  ASSERT_TRUE(WriteTestFile(folder + "\\file.txt", "x"));
  const std::string before = CurrentFolder();

  struct Case {
    std::string path;
    int expected;
  } const cases[] = {
      {folder, 1},
      {folder + "\\", 1},
      {"C:\\", 1},
      {folder + "\\file.txt", 0},
      {folder + "\\missing", 0},
      {"", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(IsExistingFolder(c.path.c_str()), c.expected);
    EXPECT_EQ(CurrentFolder(), before);
  }
  DeleteFolderTree(folder.c_str());
}

TEST(CreateFolderChain, CreatesEveryMissingLevel) {
  const std::string folder = MakeScratchFolder("chain");
  const std::string deep = folder + "\\Program Files\\Xelta\\Xelta Z614";
  EXPECT_EQ(CreateFolderChain(deep.c_str()), 1);
  EXPECT_EQ(IsExistingFolder(deep.c_str()), 1);
  EXPECT_EQ(CreateFolderChain(deep.c_str()), 1);  // already there
  EXPECT_EQ(CreateFolderChain((deep + "\\Help\\").c_str()), 1);
  EXPECT_EQ(IsExistingFolder((deep + "\\Help").c_str()), 1);

  ASSERT_TRUE(WriteTestFile(folder + "\\file.txt", "x"));
  EXPECT_EQ(CreateFolderChain((folder + "\\file.txt\\sub").c_str()), 0);
  EXPECT_EQ(CreateFolderChain(""), 0);
  EXPECT_EQ(CreateFolderChain(nullptr), 0);
  DeleteFolderTree(folder.c_str());
}

TEST(CreateFolderChain, PathBeginningWithABackslashFailsAtItsEmptyPrefix) {
  EXPECT_EQ(CreateFolderChain("\\z614\\sys\\rooted\\new"), 0);
  EXPECT_FALSE(PathExists("C:\\z614\\sys\\rooted"));
}

TEST(CanCreateFolder, AnswersWithoutLeavingAnythingBehind) {
  const std::string folder = MakeScratchFolder("can_create");
  ASSERT_TRUE(WriteTestFile(folder + "\\file.txt", "x"));
  struct Case {
    std::string path;
    int expected;
  } const cases[] = {
      {folder, 2},
      {folder + "\\Xelta\\Xelta Z614", 1},
      {folder + "\\file.txt\\Xelta", 0},  // a file stands where a folder would go
      {"", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(CanCreateFolder(c.path.c_str()), c.expected);
  }
  EXPECT_FALSE(PathExists(folder + "\\Xelta"));
  EXPECT_EQ(CountEntries(folder), 1);  // only file.txt
  DeleteFolderTree(folder.c_str());
}

TEST(CanWriteToFolder, ProbesWithATemporaryFileThatIsGoneAfterwards) {
  const std::string folder = MakeScratchFolder("can_write");
  ASSERT_TRUE(WriteTestFile(folder + "\\file.txt", "x"));
  struct Case {
    std::string path;
    int expected;
  } const cases[] = {
      {folder, 1},
      {folder + "\\Xelta\\Xelta Z614", 1},
      {folder + "\\file.txt\\Xelta", 0},
      {"", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(CanWriteToFolder(c.path.c_str()), c.expected);
  }
  EXPECT_FALSE(PathExists(folder + "\\Xelta"));
  EXPECT_EQ(CountEntries(folder), 1);  // no probe file, no created folder
  DeleteFolderTree(folder.c_str());
}

}  // namespace
