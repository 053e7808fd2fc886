// The shell's folder browser driven as a user would: a second thread finds the browser window
// and presses OK or Cancel while the test's thread runs the modal browser. Wine's browser never
// validates a typed name, so for typed names that thread hands the name to the browser's
// callback, as a validating shell does, and lets the browser close.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "sys/globals.h"
#include "res/resource.h"
#include "sys/folder_browser.h"
#include "sys/module_instance.h"
#include "wizard/install_flow.h"

namespace {

// What the robot thread does once the browser is up, and whether it found the browser.
struct BrowserRobot {
  bool pressOk = false;             // else Cancel
  const char* typed = nullptr;      // a name typed into the edit field before closing
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
  bool pressOk = robot->pressOk;
  if (robot->typed != nullptr) {
    // A shell that finds no such folder asks the callback; 0 means "close the browser", which
    // then yields no selection, as Cancel does.
    const LPARAM typed = reinterpret_cast<LPARAM>(robot->typed);
    pressOk = FolderBrowserCallback(browser, BFFM_VALIDATEFAILEDA, typed, 0) != 0;
  }
  PostMessageA(browser, WM_COMMAND, pressOk ? IDOK : IDCANCEL, 0);
  return 0;
}

HANDLE StartRobot(BrowserRobot* robot) {
  return CreateThread(nullptr, 0, DriveBrowser, robot, 0, nullptr);
}

void JoinRobot(HANDLE thread) {
  WaitForSingleObject(thread, 15000);
  CloseHandle(thread);
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
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
    HANDLE thread = StartRobot(&robot);
    EXPECT_EQ(BrowseForFolder(nullptr, path), pressOk ? 1 : 0);
    JoinRobot(thread);
    EXPECT_TRUE(robot.found);
    EXPECT_STREQ(path, folder.c_str());
  }
}

// The Folder page with a typed name: a folder that does not exist yet but could be made is
// taken in its full form, and the probes that judged it leave nothing behind; one that cannot be
// made is refused without a word, and the page keeps its folder.
TEST(FolderPage, TakesATypedNewFolderWithoutMakingItAndRefusesAnUnwritableOne) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string base = std::string(temp) + "z614 typed";
  RemoveDirectoryA(base.c_str());
  ASSERT_FALSE(Exists(base));
  char previous[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof previous, previous);
  SetCurrentDirectoryA(temp);  // a relative name is qualified against it

  HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr,
                              instanceHandle, nullptr);
  ASSERT_NE(host, nullptr);
  setupContext.targetFolder[0] = '\0';
  HWND page = CreateDialogParamA(instanceHandle, MAKEINTRESOURCEA(IDD_FOLDER), host, FolderPage, 0);
  ASSERT_NE(page, nullptr);
  const std::string offered = setupContext.targetFolder;
  ASSERT_NE(offered.find("Program Files"), std::string::npos) << offered;

  struct Case {
    const char* typed;
    std::string expected;  // the page's folder afterwards
  } cases[] = {
      {"z614 typed\\new folder", base + "\\new folder"},
      {"C:\\unwritable\\new folder", base + "\\new folder"},  // refused: unchanged
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    BrowserRobot robot;
    robot.typed = c.typed;
    HANDLE thread = StartRobot(&robot);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_BROWSE, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_BROWSE)));
    JoinRobot(thread);
    EXPECT_TRUE(robot.found);
    EXPECT_STREQ(setupContext.targetFolder, c.expected.c_str());
    char shown[MAX_PATH] = "";
    GetDlgItemTextA(page, IDC_FOLDER_PATH, shown, sizeof shown);
    EXPECT_NE(std::string(shown).find("new folder"), std::string::npos) << shown;
    EXPECT_FALSE(Exists(base));
    EXPECT_FALSE(Exists("C:\\unwritable\\new folder"));
  }
  DestroyWindow(page);
  DestroyWindow(host);
  setupContext.targetFolder[0] = '\0';
  SetCurrentDirectoryA(previous);
}

}  // namespace
