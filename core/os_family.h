// The operating-system tests every part of the setup relies on, decided from the version
// facts the system reports. The Win32 layer fills OsVersion from GetVersionExA.
#pragma once
#include <cstdint>

struct OsVersion {
  uint32_t platformId;  // 1 Windows 9x family, 2 NT family
  uint32_t major;
  uint32_t minor;
  uint32_t build;       // as reported; on the 9x family the high word carries the version
};

constexpr uint32_t kPlatformWin9x = 1;
constexpr uint32_t kPlatformWinNT = 2;

inline bool IsWin9x(const OsVersion& v) { return v.platformId == kPlatformWin9x; }
inline bool IsWinNT(const OsVersion& v) { return v.platformId == kPlatformWinNT; }
// Windows 98 first edition (build 1998) is refused; the Second Edition is build 2222.
inline bool IsWin98SE(const OsVersion& v) {
  return IsWin9x(v) && v.major == 4 && v.minor == 10 && (v.build & 0xFFFFu) >= 2183;
}
inline bool IsWinME(const OsVersion& v) { return IsWin9x(v) && v.major == 4 && v.minor == 90; }
inline bool IsWin2000(const OsVersion& v) { return IsWinNT(v) && v.major == 5 && v.minor == 0; }
inline bool IsWinXP(const OsVersion& v) { return IsWinNT(v) && v.major == 5 && v.minor == 1; }

// The systems the setup runs on, tested in this order at start-up.
inline bool IsSupportedSystem(const OsVersion& v) {
  return IsWin98SE(v) || IsWinME(v) || IsWin2000(v) || IsWinXP(v);
}
