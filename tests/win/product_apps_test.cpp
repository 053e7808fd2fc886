// The product's applications as the card-stack steps meet them: the payload's stand-ins.
#include <gtest/gtest.h>

#include "core/bounded_string.h"
#include "device/product_apps.h"
#include "package/standins/standin_log.h"
#include "sys/globals.h"
#include "tests/win/sys_test_support.h"

namespace {

bool WaitForRunning(ProductApp app, int running) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(20)) {
    if (IsAppRunning(app) == running) return true;
  }
  return false;
}

void UseStandinFolder() {
  const std::string standins = TestExecutableFolder() + "\\..\\..\\package\\standins";
  CopyText(setupContext.targetFolder, MAX_PATH, standins.c_str());
}

TEST(ProductApps, AreStartedFromTheTargetFolderFoundAndClosedInOrder) {
  char log[MAX_PATH];
  ASSERT_TRUE(standin_log::LogPath(log));
  DeleteFileA(log);
  UseStandinFolder();
  for (ProductApp app : kProductApps) {
    EXPECT_EQ(LaunchApp(app), 0u) << app;
    EXPECT_EQ(IsAppRunning(app), 1) << app;
  }
  for (ProductApp app : kProductApps) {
    CloseApp(app);
    EXPECT_TRUE(WaitForRunning(app, 0)) << app;
  }
  std::string read;
  EXPECT_TRUE(ReadTestFile(log, &read));
  EXPECT_EQ(read, "Z614UI.exe|WinMain|\r\nZ614MON.exe|WinMain|\r\nZ614sms.exe|WinMain|\r\n");
}

// A user interface that asks its user and so stays: a window of this thread whose posted
// closes wait in the queue to be counted.
TEST(ProductApps, AUserInterfaceThatIgnoresCloseGetsTenPostsAndASecondCopyStarts) {
  UseStandinFolder();
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = "Z614Main";
  RegisterClassA(&windowClass);
  HWND stubborn =
      CreateWindowExA(0, "Z614Main", "", 0, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
  CloseApp(kUserInterfaceApp);
  int closes = 0;
  for (MSG message; PeekMessageA(&message, stubborn, WM_CLOSE, WM_CLOSE, PM_REMOVE);) ++closes;
  EXPECT_EQ(closes, kUserInterfaceClosePosts);
  EXPECT_EQ(LaunchApp(kUserInterfaceApp), 0u);
  HWND first = FindWindowExA(nullptr, nullptr, "Z614Main", nullptr);
  EXPECT_NE(FindWindowExA(nullptr, first, "Z614Main", nullptr), nullptr);  // the second copy
  DestroyWindow(stubborn);
  CloseApp(kUserInterfaceApp);  // the started copy closes normally
  EXPECT_TRUE(WaitForRunning(kUserInterfaceApp, 0));
}

}  // namespace
