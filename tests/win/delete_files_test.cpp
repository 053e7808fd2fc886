// Deletion with retries and folder-tree removal: attributes that block DeleteFileA, wildcards,
// and a file another handle keeps open.
#include <gtest/gtest.h>

#include <string>

#include "sys/delete_files.h"
#include "tests/win/sys_test_support.h"

namespace {

TEST(DeleteFiles, WildcardDeletesMatchingFilesWhateverTheirAttributes) {
  const std::string folder = MakeScratchFolder("delete_wildcard");
  for (const char* name : {"a.z61", "b.z62", "keep.txt"}) {
    ASSERT_TRUE(WriteTestFile(folder + "\\" + name, name));
  }
  ASSERT_TRUE(SetFileAttributesA((folder + "\\a.z61").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(SetFileAttributesA((folder + "\\b.z62").c_str(),
                                 FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  ASSERT_TRUE(CreateDirectoryA((folder + "\\sub.z63").c_str(), nullptr));

  EXPECT_EQ(DeleteFiles((folder + "\\*.z6?").c_str()), 1);
  EXPECT_FALSE(PathExists(folder + "\\a.z61"));
  EXPECT_FALSE(PathExists(folder + "\\b.z62"));
  EXPECT_TRUE(PathExists(folder + "\\keep.txt"));
  EXPECT_TRUE(PathExists(folder + "\\sub.z63"));  // folders are not files
  EXPECT_EQ(DeleteFiles((folder + "\\*.none").c_str()), 1);  // nothing matched
  DeleteFolderTree(folder.c_str());
}

TEST(DeleteFiles, GivesUpOnAFileHeldOpenAfterTenTriesAndDeletesTheRest) {
  const std::string folder = MakeScratchFolder("delete_held");
  const std::string held = folder + "\\held.dll";
  ASSERT_TRUE(WriteTestFile(held, "held"));
  ASSERT_TRUE(WriteTestFile(folder + "\\free.dll", "free"));
  // Shared for reading and writing but not for deletion, as a loaded library is.
  HANDLE handle = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  const DWORD start = GetTickCount();
  EXPECT_EQ(DeleteFiles((folder + "\\*.dll").c_str()), 0);
  const DWORD elapsed = GetTickCount() - start;
  CloseHandle(handle);

  EXPECT_TRUE(PathExists(held));
  EXPECT_FALSE(PathExists(folder + "\\free.dll"));
  EXPECT_GE(elapsed, static_cast<DWORD>(kDeleteTries - 1) * kDeleteRetryDelayMs);
  DeleteFolderTree(folder.c_str());
}

TEST(DeleteFolderTree, RemovesNestedFoldersAndProtectedFiles) {
  const std::string folder = MakeScratchFolder("delete_tree");
  ASSERT_TRUE(CreateDirectoryA((folder + "\\Help").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((folder + "\\Help\\Images").c_str(), nullptr));
  ASSERT_TRUE(WriteTestFile(folder + "\\Z614UI.exe", "ui"));
  ASSERT_TRUE(WriteTestFile(folder + "\\Help\\Images\\logo.bmp", "bmp"));
  ASSERT_TRUE(SetFileAttributesA((folder + "\\Help\\Images\\logo.bmp").c_str(),
                                 FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(DeleteFolderTree(folder.c_str()), 1);
  EXPECT_FALSE(PathExists(folder));
}

}  // namespace
