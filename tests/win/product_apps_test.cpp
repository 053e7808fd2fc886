// The product's applications as the card-stack steps meet them: the payload's stand-ins, built
// beside this test, started from the target folder, found by their window classes and closed;
// and a user interface that ignores WM_CLOSE, played by a window of this test.
#include <gtest/gtest.h>

#include <string>

#include "core/bounded_string.h"
#include "device/product_apps.h"
#include "package/standins/standin_log.h"
#include "sys/globals.h"
#include "tests/win/sys_test_support.h"

namespace {

// Waits up to five seconds for the application's window to come or go.
bool WaitForRunning(ProductApp app, int running) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(20)) {
    if (IsAppRunning(app) == running) return true;
  }
  return false;
}

std::string StandinLog() {
  char path[MAX_PATH];
  std::string log;
  if (standin_log::LogPath(path)) ReadTestFile(path, &log);
  return log;
}

TEST(ProductApps, AreStartedFromTheTargetFolderFoundClosedInOrderAndRelaunched) {
  char log[MAX_PATH];
  ASSERT_TRUE(standin_log::LogPath(log));
  DeleteFileA(log);
  CopyText(setupContext.targetFolder, MAX_PATH, TestExecutableFolder().c_str());
  for (int round = 0; round < 2; ++round) {
    for (ProductApp app : kProductApps) {
      EXPECT_EQ(IsAppRunning(app), 0) << app;
      EXPECT_EQ(LaunchApp(app), 0u) << app;
      EXPECT_EQ(IsAppRunning(app), 1) << app;
    }
    for (ProductApp app : kProductApps) {
      CloseApp(app);
      EXPECT_TRUE(WaitForRunning(app, 0)) << app;
    }
  }
  const std::string started =
      "Z614UI.exe|WinMain|\r\nZ614MON.exe|WinMain|\r\nZ614sms.exe|WinMain|\r\n";
  EXPECT_EQ(StandinLog(), started + started);
}

// A user interface that asks its user and so stays: it counts the closes it gets.
int closesReceived = 0;
HANDLE handledMarker = nullptr;

LRESULT CALLBACK StubbornWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) return ++closesReceived, 0;
  if (message == WM_APP) return SetEvent(handledMarker), 0;
  return DefWindowProcA(window, message, wParam, lParam);
}

DWORD WINAPI RunStubbornWindow(LPVOID ready) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = StubbornWindowProc;
  windowClass.lpszClassName = "Z614Main";
  RegisterClassA(&windowClass);
  CreateWindowExA(0, "Z614Main", "stubborn", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                  nullptr, nullptr);
  SetEvent(static_cast<HANDLE>(ready));
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}

BOOL CALLBACK CountUserInterfaces(HWND window, LPARAM count) {
  char name[32] = "";
  GetClassNameA(window, name, sizeof name);
  if (lstrcmpA(name, "Z614Main") == 0) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

TEST(ProductApps, AUserInterfaceThatIgnoresCloseGetsTenPostsAndASecondCopyStarts) {
  CopyText(setupContext.targetFolder, MAX_PATH, TestExecutableFolder().c_str());
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  handledMarker = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  DWORD threadId = 0;
  HANDLE thread = CreateThread(nullptr, 0, RunStubbornWindow, ready, 0, &threadId);
  ASSERT_EQ(WaitForSingleObject(ready, 5000), WAIT_OBJECT_0);
  HWND stubborn = FindWindowA("Z614Main", nullptr);

  CloseApp(kUserInterfaceApp);
  PostMessageA(stubborn, WM_APP, 0, 0);  // handled after every close posted before it
  ASSERT_EQ(WaitForSingleObject(handledMarker, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(closesReceived, kUserInterfaceClosePosts);
  EXPECT_EQ(IsAppRunning(kUserInterfaceApp), 1);

  EXPECT_EQ(LaunchApp(kUserInterfaceApp), 0u);
  int copies = 0;
  EnumWindows(CountUserInterfaces, reinterpret_cast<LPARAM>(&copies));
  EXPECT_EQ(copies, 2);
  PostThreadMessageA(threadId, WM_QUIT, 0, 0);
  WaitForSingleObject(thread, 5000);
  CloseApp(kUserInterfaceApp);  // the started copy closes normally
  EXPECT_TRUE(WaitForRunning(kUserInterfaceApp, 0));
  for (HANDLE h : {ready, handledMarker, thread}) CloseHandle(h);
}

}  // namespace
