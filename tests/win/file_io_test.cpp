// Whole-file reading and writing: a missing file, the caller's own buffer, an unwritable
// destination.
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
}

TEST(WholeFile, BytesWrittenReadBackWhole) {
  const std::string folder = MakeScratchFolder("file_io");
  const std::string path = folder + "\\Setup.cnf";
  const char data[] = "[AddFile]\r\nbinary\0zero\r\n";
  ASSERT_EQ(WriteWholeFile(path.c_str(), data, sizeof data - 1), 1);

  char* buffer = nullptr;
  size_t size = 0;
  ASSERT_EQ(ReadWholeFile(path.c_str(), &buffer, &size), 1);
  ASSERT_EQ(size, sizeof data - 1);
  EXPECT_EQ(std::memcmp(buffer, data, size), 0);
  EXPECT_EQ(buffer[size], '\0');  // text readers may treat it as a string
  ReleaseFileBuffer(buffer);

  // The caller's own buffer is filled only when the file fits it.
  char small[8] = "#######";
  buffer = small;
  size = sizeof small;
  EXPECT_EQ(ReadWholeFile(path.c_str(), &buffer, &size), 0);
  EXPECT_EQ(buffer, small);
  EXPECT_STREQ(small, "#######");

  ASSERT_EQ(WriteWholeFile(path.c_str(), "xy", 2), 1);  // truncates the longer file
  std::string content;
  ASSERT_TRUE(ReadTestFile(path, &content));
  EXPECT_EQ(content, "xy");
  DeleteFolderTree(folder.c_str());
}

TEST(WriteWholeFile, UnwritableDestinationIsSkippedAsSuccess) {
  const std::string path = ScratchRoot() + "\\no-such-folder\\file.txt";
  EXPECT_EQ(WriteWholeFile(path.c_str(), "data", 4), 1);
  EXPECT_FALSE(PathExists(path));
}

}  // namespace
