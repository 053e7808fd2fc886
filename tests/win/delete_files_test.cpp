// Deletion with retries and folder-tree removal against real files: attributes that block a
// plain DeleteFileA, wildcards, and a file another handle keeps open.
#include <gtest/gtest.h>

#include <string>

#include "sys/delete_files.h"
#include "tests/win/sys_test_support.h"

namespace {

TEST(DeleteFiles, DeletesFilesWhateverTheirAttributes) {
  const std::string folder = MakeScratchFolder("delete_attributes");
  const DWORD attributes[] = {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN,
                              FILE_ATTRIBUTE_SYSTEM,
                              FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN};
  int n = 0;
  for (DWORD attribute : attributes) {
    const std::string path = folder + "\\file" + std::to_string(n++) + ".sys";
    SCOPED_TRACE(path);
    ASSERT_TRUE(WriteTestFile(path, "driver"));
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), attribute));
    EXPECT_EQ(DeleteFiles(path.c_str()), 1);
    EXPECT_FALSE(PathExists(path));
  }
  DeleteFolderTree(folder.c_str());
}

TEST(DeleteFiles, WildcardDeletesOnlyMatchingFiles) {
  const std::string folder = MakeScratchFolder("delete_wildcard");
  for (const char* name : {"a.z61", "b.z62", "keep.txt"}) {
    ASSERT_TRUE(WriteTestFile(folder + "\\" + name, name));
  }
  ASSERT_TRUE(CreateDirectoryA((folder + "\\sub.z63").c_str(), nullptr));

  EXPECT_EQ(DeleteFiles((folder + "\\*.z6?").c_str()), 1);
  EXPECT_FALSE(PathExists(folder + "\\a.z61"));
  EXPECT_FALSE(PathExists(folder + "\\b.z62"));
  EXPECT_TRUE(PathExists(folder + "\\keep.txt"));
  EXPECT_TRUE(PathExists(folder + "\\sub.z63"));  // folders are not files

  EXPECT_EQ(DeleteFiles((folder + "\\*.none").c_str()), 1);  // nothing matched
  EXPECT_EQ(DeleteFiles((folder + "\\missing\\*.*").c_str()), 1);
  DeleteFolderTree(folder.c_str());
}

TEST(DeleteFiles, GivesUpOnAFileHeldOpenAfterTenTriesAndDeletesTheRest) {
  const std::string folder = MakeScratchFolder("delete_held");
  const std::string held = folder + "\\held.dll";
  const std::string free = folder + "\\free.dll";
  ASSERT_TRUE(WriteTestFile(held, "held"));
  ASSERT_TRUE(WriteTestFile(free, "free"));
  // Shared for reading and writing but not for deletion, as a loaded library is.
  HANDLE handle = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);

  const DWORD start = GetTickCount();
  EXPECT_EQ(DeleteFiles((folder + "\\*.dll").c_str()), 0);
  const DWORD elapsed = GetTickCount() - start;
  CloseHandle(handle);

  EXPECT_TRUE(PathExists(held));
  EXPECT_FALSE(PathExists(free));
  EXPECT_GE(elapsed, static_cast<DWORD>(kDeleteTries - 1) * kDeleteRetryDelayMs);
  EXPECT_LT(elapsed, 2u * kDeleteTries * kDeleteRetryDelayMs);

  EXPECT_EQ(DeleteFiles(held.c_str()), 1);  // let go of, it goes at once
  DeleteFolderTree(folder.c_str());
}

TEST(DeleteFolderTree, RemovesNestedFoldersAndProtectedFiles) {
  const std::string folder = MakeScratchFolder("delete_tree");
  ASSERT_TRUE(CreateDirectoryA((folder + "\\Help").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((folder + "\\Help\\Images").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((folder + "\\Empty").c_str(), nullptr));
  ASSERT_TRUE(WriteTestFile(folder + "\\Z614UI.exe", "ui"));
  ASSERT_TRUE(WriteTestFile(folder + "\\Help\\Images\\logo.bmp", "bmp"));
  ASSERT_TRUE(SetFileAttributesA((folder + "\\Help\\Images\\logo.bmp").c_str(),
                                 FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));

  EXPECT_EQ(DeleteFolderTree(folder.c_str()), 1);
  EXPECT_FALSE(PathExists(folder));
}

}  // namespace
