// Whole-file reading and writing against real files: what a missing file, a caller's own
// buffer and an unwritable destination do.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "sys/file_io.h"
#include "tests/win/sys_test_support.h"

namespace {

TEST(ReadWholeFile, MissingFileReadsAsNothingAndTouchesNothing) {
  char own[4] = "abc";
  char* buffer = own;
  size_t size = 77;
  EXPECT_EQ(ReadWholeFile("C:\\z614\\sys\\absent\\Remove.cnf", &buffer, &size), 1);
  EXPECT_EQ(buffer, own);
  EXPECT_EQ(size, 77u);
  EXPECT_STREQ(own, "abc");

  char* none = nullptr;
  EXPECT_EQ(ReadWholeFile("C:\\z614\\sys\\absent\\Remove.cnf", &none, &size), 1);
  EXPECT_EQ(none, nullptr);
}

TEST(ReadWholeFile, MissingArgumentsAreRefused) {
  size_t size = 0;
  char* buffer = nullptr;
  EXPECT_EQ(ReadWholeFile("C:\\windows\\win.ini", nullptr, &size), 0);
  EXPECT_EQ(ReadWholeFile("C:\\windows\\win.ini", &buffer, nullptr), 0);
}

TEST(WholeFile, WrittenBytesReadBackIntoAnAllocatedBuffer) {
  const std::string folder = MakeScratchFolder("file_io");
  const std::string path = folder + "\\Setup.cnf";
  const char data[] = "[AddFile]\r\nbinary\0zero\r\n";
  ASSERT_EQ(WriteWholeFile(path.c_str(), data, sizeof data - 1), 1);

  char* buffer = nullptr;
  size_t size = 0;
  ASSERT_EQ(ReadWholeFile(path.c_str(), &buffer, &size), 1);
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(size, sizeof data - 1);
  EXPECT_EQ(std::memcmp(buffer, data, size), 0);
  EXPECT_EQ(buffer[size], '\0');  // text readers may treat it as a string
  ReleaseFileBuffer(buffer);

  // Writing again truncates: a shorter file replaces the longer one.
  ASSERT_EQ(WriteWholeFile(path.c_str(), "xy", 2), 1);
  std::string content;
  ASSERT_TRUE(ReadTestFile(path, &content));
  EXPECT_EQ(content, "xy");
  DeleteFolderTree(folder.c_str());
}

TEST(ReadWholeFile, FillsTheCallersBufferOnlyWhenTheFileFits) {
  const std::string folder = MakeScratchFolder("file_io_own");
  const std::string path = folder + "\\license.txt";
  ASSERT_TRUE(WriteTestFile(path, "0123456789"));

  char own[16];
  std::memset(own, '#', sizeof own);
  char* buffer = own;
  size_t size = sizeof own;
  ASSERT_EQ(ReadWholeFile(path.c_str(), &buffer, &size), 1);
  EXPECT_EQ(buffer, own);
  EXPECT_EQ(size, 10u);
  EXPECT_EQ(std::string(own, 10), "0123456789");
  EXPECT_EQ(own[10], '#');  // nothing written behind the file's bytes

  char small[4] = {'#', '#', '#', '#'};
  buffer = small;
  size = sizeof small;
  EXPECT_EQ(ReadWholeFile(path.c_str(), &buffer, &size), 0);
  EXPECT_EQ(buffer, small);  // the caller's buffer stays the caller's
  EXPECT_EQ(std::string(small, 4), "####");
  DeleteFolderTree(folder.c_str());
}

TEST(WriteWholeFile, UnwritableDestinationIsSkippedAsSuccess) {
  const std::string path = ScratchRoot() + "\\no-such-folder\\file.txt";
  EXPECT_EQ(WriteWholeFile(path.c_str(), "data", 4), 1);
  EXPECT_FALSE(PathExists(path));
  EXPECT_EQ(WriteWholeFile(path.c_str(), nullptr, 4), 0);
}

}  // namespace
