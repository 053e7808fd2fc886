// Starting outside programs: the temporary copy of the setup, the product's applications and
// the system tools the driver steps call.
#pragma once
#include <windows.h>

// Capacity of the command line LaunchProcess builds.
constexpr size_t kCommandLineSize = 2048;

// How long LaunchProcess lets a new process settle before it returns.
constexpr DWORD kLaunchIdleWaitMs = 5000;

// Starts executable with arguments (may be null or empty) and the window show command
// showCommand (SW_*). The command line is the executable path, in quotation marks when it
// contains a space, then one space and the arguments unchanged. Waits until the new process
// is idle for input (at most kLaunchIdleWaitMs) and not beyond.
// Returns 0 on success, else the system error code: ERROR_INVALID_PARAMETER (87) for a missing
// or empty executable path, ERROR_BUFFER_OVERFLOW when the command line would not fit.
// With `process` the caller keeps the new process's handle (and closes it); it is nullptr
// when the start failed.
DWORD LaunchProcess(const char* executable, const char* arguments, int showCommand,
                    HANDLE* process = nullptr);
