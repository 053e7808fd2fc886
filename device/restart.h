// The restart of the machine that the Install flow's restart finish page asks for.
#pragma once
#include <windows.h>

// Asks the system to restart (ExitWindowsEx with EWX_REBOOT). On the NT family a refused first
// request enables the process's shutdown privilege and asks once more. Returns the result of the
// last request: non-zero when the system accepted it. The request returns at once.
BOOL RestartMachine();

// Enables (enable non-zero) or disables the privilege `name` in the token of the running
// process. Returns 0 on success, else the system's error code; a privilege that the token does
// not hold counts as failure (ERROR_NOT_ALL_ASSIGNED).
DWORD SetPrivilege(const char* name, int enable);
