#include "sys/os_version.h"

#include <windows.h>

#include "core/os_family.h"

#if defined(__i386__)
static_assert(sizeof(OSVERSIONINFOA) == 148, "the version query expects the 148-byte record");
#endif

// Each test asks the system afresh, as the setup always has: nothing here is cached.
OsVersion QueryOsVersion() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  OsVersion v = {};
  if (GetVersionExA(&info)) {
    v.platformId = info.dwPlatformId;
    v.major = info.dwMajorVersion;
    v.minor = info.dwMinorVersion;
    v.build = info.dwBuildNumber;
  }
  return v;
}

bool IsWin9x() { return IsWin9x(QueryOsVersion()); }
bool IsWinNT() { return IsWinNT(QueryOsVersion()); }
bool IsWin98SE() { return IsWin98SE(QueryOsVersion()); }
bool IsWinME() { return IsWinME(QueryOsVersion()); }
bool IsWin2000() { return IsWin2000(QueryOsVersion()); }
bool IsWinXP() { return IsWinXP(QueryOsVersion()); }
