// Launching programs: the command line the started program sees, checked with a helper that
// writes its own command line to the file named by its first argument.
#include <gtest/gtest.h>

#include <string>

#include "sys/process_launch.h"
#include "tests/win/sys_test_support.h"

namespace {

// The launcher does not wait for the program to end; the helper's file appears when it has.
bool WaitForFile(const std::string& path, std::string* content) {
  for (int i = 0; i < 100; ++i) {
    if (PathExists(path) && ReadTestFile(path, content)) return true;
    Sleep(50);
  }
  return false;
}

TEST(LaunchProcess, QuotesAnExecutablePathWithSpacesAndPassesTheArgumentsUnchanged) {
  const std::string folder = MakeScratchFolder("launch");
  const std::string helper = TestExecutableFolder() + "\\echo_command_line.exe";
  const std::string spaced = folder + "\\Xelta Z614.exe";
  const std::string plain = folder + "\\echo.exe";
  ASSERT_TRUE(CopyFileA(helper.c_str(), spaced.c_str(), FALSE)) << helper;
  ASSERT_TRUE(CopyFileA(helper.c_str(), plain.c_str(), FALSE));
  struct Case {
    std::string executable;
    std::string quoted;
  } const cases[] = {{spaced, "\"" + spaced + "\""}, {plain, plain}};
  int n = 0;
  for (const Case& c : cases) {
    const std::string output = folder + "\\out" + std::to_string(n++) + ".txt";
    const std::string arguments = output + " install  /q";
    ASSERT_EQ(LaunchProcess(c.executable.c_str(), arguments.c_str(), SW_HIDE), 0u);
    std::string commandLine;
    ASSERT_TRUE(WaitForFile(output, &commandLine));
    EXPECT_EQ(commandLine, c.quoted + " " + arguments);
  }
  Sleep(200);  // let the helpers end before their files go
  DeleteFolderTree(folder.c_str());
}

TEST(LaunchProcess, ReportsTheSystemErrorCode) {
  EXPECT_EQ(LaunchProcess("", "args", SW_SHOWNORMAL), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(LaunchProcess("C:\\z614\\sys\\no such program.exe", "", SW_SHOWNORMAL),
            static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

}  // namespace
