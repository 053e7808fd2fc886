// The shell's folder browser driven as a user would: a second thread finds the browser
// window and presses OK or Cancel while the test's thread runs the modal browser. (Names typed
// into the edit field cannot be shown here: Wine's browser does not validate them.)
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "sys/folder_browser.h"

namespace {

// What the robot thread does once the browser is up, and whether it found the browser.
struct BrowserRobot {
  bool pressOk = false;  // else Cancel
  bool found = false;
};

BOOL CALLBACK FindOwnDialog(HWND window, LPARAM param) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char className[32] = "";
  GetClassNameA(window, className, sizeof className);
  if (process == GetCurrentProcessId() && lstrcmpA(className, "#32770") == 0 &&
      IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
  }
  return TRUE;
}

DWORD WINAPI DriveBrowser(void* param) {
  BrowserRobot* robot = static_cast<BrowserRobot*>(param);
  HWND browser = nullptr;
  for (int i = 0; i < 200 && browser == nullptr; ++i) {
    Sleep(50);
    EnumWindows(FindOwnDialog, reinterpret_cast<LPARAM>(&browser));
  }
  if (browser == nullptr) return 1;
  robot->found = true;
  Sleep(200);  // let the browser finish its initialisation
  PostMessageA(browser, WM_COMMAND, robot->pressOk ? IDOK : IDCANCEL, 0);
  return 0;
}

int BrowseWithRobot(BrowserRobot* robot, char* path) {
  HANDLE thread = CreateThread(nullptr, 0, DriveBrowser, robot, 0, nullptr);
  const int result = BrowseForFolder(nullptr, path);
  WaitForSingleObject(thread, 15000);
  CloseHandle(thread);
  return result;
}

TEST(BrowseForFolder, OkTakesTheSelectedStartFolderAndCancelKeepsThePath) {
  // A long-standing folder: Wine's browser does not reliably find one made moments before.
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, sizeof windows);
  const std::string folder = windows;
  for (bool pressOk : {true, false}) {
    SCOPED_TRACE(pressOk ? "OK" : "Cancel");
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s", folder.c_str());
    BrowserRobot robot;
    robot.pressOk = pressOk;
    EXPECT_EQ(BrowseWithRobot(&robot, path), pressOk ? 1 : 0);
    EXPECT_TRUE(robot.found);
    EXPECT_STREQ(path, folder.c_str());
  }
}

}  // namespace
