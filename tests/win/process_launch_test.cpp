// Launching programs: the command line the started program sees, checked with a helper that
// writes its own command line to a file.
#include <gtest/gtest.h>

#include <string>

#include "sys/process_launch.h"
#include "tests/win/sys_test_support.h"

namespace {

// Waits for the helper's output file; the launcher does not wait for the program to end.
bool WaitForFile(const std::string& path, std::string* content) {
  for (int i = 0; i < 100; ++i) {
    if (PathExists(path) && ReadTestFile(path, content)) return true;
    Sleep(50);
  }
  return false;
}

// Places the echo helper at folder\name and returns its path.
std::string PlaceEchoHelper(const std::string& folder, const char* name) {
  const std::string helper = TestExecutableFolder() + "\\echo_command_line.exe";
  const std::string placed = folder + "\\" + name;
  EXPECT_TRUE(CopyFileA(helper.c_str(), placed.c_str(), FALSE)) << helper;
  return placed;
}

TEST(LaunchProcess, QuotesAnExecutablePathWithSpacesAndAppendsTheArguments) {
  const std::string folder = MakeScratchFolder("launch");
  ASSERT_TRUE(CreateDirectoryA((folder + "\\Xelta Z614").c_str(), nullptr));
  struct Case {
    std::string executable;
    const char* output;
    std::string expected;  // the command line the program receives
  };
  const std::string spaced = PlaceEchoHelper(folder + "\\Xelta Z614", "echo helper.exe");
  const std::string plain = PlaceEchoHelper(folder, "echo.exe");
  const std::string spacedOut = folder + "\\spaced.txt";
  const std::string plainOut = folder + "\\plain.txt";
  const Case cases[] = {
      {spaced, "spaced.txt", "\"" + spaced + "\" " + spacedOut + " install  /q"},
      {plain, "plain.txt", plain + " " + plainOut + " install  /q"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.executable);
    const std::string output = folder + "\\" + c.output;
    const std::string arguments = output + " install  /q";  // passed on unchanged
    ASSERT_EQ(LaunchProcess(c.executable.c_str(), arguments.c_str(), SW_HIDE), 0u);
    std::string commandLine;
    ASSERT_TRUE(WaitForFile(output, &commandLine));
    EXPECT_EQ(commandLine, c.expected);
  }
  Sleep(200);  // let the helpers end before their files go
  DeleteFolderTree(folder.c_str());
}

TEST(LaunchProcess, ReportsTheSystemErrorCode) {
  EXPECT_EQ(LaunchProcess("", "args", SW_SHOWNORMAL), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(LaunchProcess(nullptr, nullptr, SW_SHOWNORMAL),
            static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(LaunchProcess("C:\\z614\\sys\\no such program.exe", "", SW_SHOWNORMAL),
            static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(LaunchProcess, RefusesACommandLineThatWouldBeCut) {
  const std::string arguments(kCommandLineSize, 'a');
  EXPECT_EQ(LaunchProcess("C:\\windows\\notepad.exe", arguments.c_str(), SW_HIDE),
            static_cast<DWORD>(ERROR_BUFFER_OVERFLOW));
}

}  // namespace
