// The stand-ins as the setup meets them: each program shows a top-level window of the class
// the setup looks for and ends when that window gets WM_CLOSE; the control program takes
// "install" and "remove" and ends at once.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "package/standins/standin_log.h"

namespace {

// The stand-ins are built beside this test.
std::string BesideTest(const char* name) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

// Starts a program and returns its process handle, or nullptr.
HANDLE Start(const std::string& commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return nullptr;
  CloseHandle(process.hThread);
  return process.hProcess;
}

// Waits up to five seconds for a top-level window of the class.
HWND WaitForWindow(const char* className) {
  for (int i = 0; i < 50; ++i) {
    if (HWND window = FindWindowA(className, nullptr)) return window;
    Sleep(100);
  }
  return nullptr;
}

struct Application {
  const char* file;
  const char* className;
};

class StandinApplication : public testing::TestWithParam<Application> {};

TEST_P(StandinApplication, ShowsItsWindowClassAndEndsOnClose) {
  HANDLE process = Start("\"" + BesideTest(GetParam().file) + "\"");
  ASSERT_NE(process, nullptr) << GetParam().file;
  WaitForInputIdle(process, 5000);
  HWND window = WaitForWindow(GetParam().className);
  EXPECT_NE(window, nullptr) << GetParam().className;
  if (window) SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(process, 5000), WAIT_OBJECT_0);
  DWORD exitCode = 99;
  GetExitCodeProcess(process, &exitCode);
  EXPECT_EQ(exitCode, 0u);
  if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0) TerminateProcess(process, 1);
  CloseHandle(process);
}

INSTANTIATE_TEST_SUITE_P(Standins, StandinApplication,
                         testing::Values(Application{"Z614UI.exe", "Z614Main"},
                                         Application{"Z614MON.exe", "Z614MONITOR"},
                                         Application{"Z614sms.exe", "Z614SMSMain"}));

TEST(StandinControlProgram, KnowsInstallAndRemoveOnly) {
  const struct {
    const char* arguments;
    DWORD exitCode;
  } cases[] = {{"install", 0}, {"remove", 0}, {"REMOVE", 0}, {"", 1}, {"start", 1}};
  for (const auto& c : cases) {
    HANDLE process = Start("\"" + BesideTest("Z614CTL.exe") + "\" " + c.arguments);
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(WaitForSingleObject(process, 5000), WAIT_OBJECT_0) << c.arguments;
    DWORD exitCode = 99;
    GetExitCodeProcess(process, &exitCode);
    EXPECT_EQ(exitCode, c.exitCode) << c.arguments;
    CloseHandle(process);
  }
}

// The libraries' entries, called by their plain names as rundll does, record every call.
TEST(StandinLibraries, RecordEachCallOfTheirEntry) {
  char log[MAX_PATH];
  ASSERT_TRUE(standin_log::LogPath(log));
  DeleteFileA(log);
  for (const char* call : {"DevStop.dll,DEVICE9XREMOVE", "Xescinst.dll,SmartcardInstall 9 C:\\A",
                           "mod_adm.dll,AdminModule"}) {
    HANDLE process = Start("rundll32.exe " + BesideTest(call));
    EXPECT_EQ(WaitForSingleObject(process, 5000), WAIT_OBJECT_0) << call;
    CloseHandle(process);
  }
  std::ifstream file(log, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}),
            "DevStop.dll|DEVICE9XREMOVE|\r\nXescinst.dll|SmartcardInstall|9 C:\\A\r\n"
            "mod_adm.dll|AdminModule|\r\n");
}

}  // namespace
