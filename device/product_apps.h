// The product's own applications: the user interface, the monitor and the SMS application.
// They hold the card open while they run, so the card-stack steps close those that run before
// the drivers stop and start them again afterwards. Each is found by the class of its main
// window and started from the target folder.
#pragma once
#include <windows.h>

#include <cstdint>

// The applications and their bits in SetupContext::RunningApps.
enum ProductApp : uint32_t { kUserInterfaceApp = 1, kMonitorApp = 2, kSmsApp = 4 };

// The order in which the stop step closes the applications and the start step relaunches them.
constexpr ProductApp kProductApps[] = {kUserInterfaceApp, kMonitorApp, kSmsApp};

// WM_CLOSE posts CloseApp makes at most to the user interface.
constexpr int kUserInterfaceClosePosts = 10;

// 1 when a top-level window of the application's main window class exists, else 0.
int IsAppRunning(ProductApp app);

// Asks the application to close. The user interface gets WM_CLOSE posted while its window is
// still found, at most kUserInterfaceClosePosts times and without waiting between the posts;
// the monitor and the SMS application get it sent once, which waits until they have handled it.
void CloseApp(ProductApp app);

// Starts the application's program from setupContext.targetFolder without arguments, shown
// normally. Returns the launcher's result: 0, or the system error code.
DWORD LaunchApp(ProductApp app);
