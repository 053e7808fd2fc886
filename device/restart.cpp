#include "device/restart.h"

#include "sys/os_version.h"
#include "sys/setup_log.h"

namespace {

constexpr char kShutdownPrivilege[] = "SeShutdownPrivilege";

// One privilege entry and its attributes: the 16 bytes the previous state is read into.
struct SinglePrivilege {
  DWORD count;
  LUID_AND_ATTRIBUTES privilege;
};
static_assert(sizeof(SinglePrivilege) == 16, "one TOKEN_PRIVILEGES entry is 16 bytes");

}  // namespace

BOOL RestartMachine() {
  LogAction("Restart of the machine requested");
  FlushSetupLog();
  BOOL accepted = ExitWindowsEx(EWX_REBOOT, 0);
  if (accepted || !IsWinNT()) return accepted;
  if (SetPrivilege(kShutdownPrivilege, 1) != 0) return accepted;
  return ExitWindowsEx(EWX_REBOOT, 0);
}

DWORD SetPrivilege(const char* name, int enable) {
  LUID luid;
  HANDLE token = nullptr;
  if (!LookupPrivilegeValueA(nullptr, name, &luid) ||
      !OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    return GetLastError();
  }
  // The first adjustment changes nothing (attributes 0) but reads the privilege's present
  // state, so the second one alters only its enabled bit.
  SinglePrivilege request = {1, {luid, 0}};
  SinglePrivilege previous = {};
  DWORD previousSize = sizeof previous;
  // The answer is read from the last error: Windows sets it on success too, some
  // implementations only on failure, so it starts cleared.
  SetLastError(ERROR_SUCCESS);
  AdjustTokenPrivileges(token, FALSE, reinterpret_cast<TOKEN_PRIVILEGES*>(&request), sizeof previous,
                        reinterpret_cast<TOKEN_PRIVILEGES*>(&previous), &previousSize);
  DWORD error = GetLastError();
  if (error == 0) {
    previous.count = 1;
    previous.privilege.Luid = luid;
    if (enable) {
      previous.privilege.Attributes |= SE_PRIVILEGE_ENABLED;
    } else {
      previous.privilege.Attributes &= ~static_cast<DWORD>(SE_PRIVILEGE_ENABLED);
    }
    SetLastError(ERROR_SUCCESS);
    AdjustTokenPrivileges(token, FALSE, reinterpret_cast<TOKEN_PRIVILEGES*>(&previous), previousSize,
                          nullptr, nullptr);
    error = GetLastError();
  }
  CloseHandle(token);
  return error;
}
