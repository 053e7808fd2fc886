// The Windows version the test run was started for (Z614_WINE_VERSION).
#pragma once
#include <cstdlib>
#include <cstring>

inline const char* WineVersion() {
  const char* v = std::getenv("Z614_WINE_VERSION");
  return v ? v : "winxp";
}
inline bool RunsAs9x() {
  return std::strcmp(WineVersion(), "win98") == 0 || std::strcmp(WineVersion(), "winme") == 0 ||
         std::strcmp(WineVersion(), "win95") == 0;
}
