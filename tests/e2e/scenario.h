// Shared steps of the end-to-end scenarios: where the packed setups are, which Windows version
// the run shows, and the machine state a scenario looks at.
#pragma once
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/robot/wizard_robot.h"

constexpr DWORD kUiTimeoutMs = 15000;  // for a page switch, a message box or a window
constexpr char kProductName[] = "Xelta Z614";
constexpr char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// The host path an environment variable names, as Wine shows it (the host's root is drive Z:);
// "" when the variable is unset or empty.
inline std::string PathFromEnvironment(const char* variable = "Z614_SETUP_EXE") {
  const char* unixPath = std::getenv(variable);
  if (!unixPath || !*unixPath) return "";
  std::string path = std::string("Z:") + unixPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

inline std::string WineVersion() {
  const char* v = std::getenv("Z614_WINE_VERSION");
  return v ? v : "winxp";
}
inline bool IsNineX() { return WineVersion() == "win98" || WineVersion() == "winme"; }
inline bool SetupSupportsThisSystem() {
  return WineVersion() != "win95" && WineVersion() != "nt40";
}

inline std::string TempFolder() {
  char folder[MAX_PATH] = "";
  GetTempPathA(sizeof folder, folder);
  return folder;
}

inline std::string ReadFileBytes(const std::string& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The temporary copies (Del*.*) in the temporary folder.
inline std::vector<std::string> TemporaryCopies() {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((TempFolder() + "Del*.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    names.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

// The product's RunOnce value; "" when there is none.
inline std::string RunOnceValue() {
  char value[1024] = "";
  DWORD size = sizeof value - 1;
  RegGetValueA(HKEY_LOCAL_MACHINE, kRunOnceKey, kProductName, RRF_RT_REG_SZ, nullptr, value, &size);
  return value;
}

// Runs the card simulator that Z614_CARD_SIMULATOR names ("insert" or "remove") to its end;
// true when it did what was asked.
inline bool Simulate(const char* command) {
  std::vector<TreeProcess> run;
  const std::string line = "\"" + PathFromEnvironment("Z614_CARD_SIMULATOR") + "\" " + command;
  return FollowProcessTree(line, kUiTimeoutMs, run, [] {}) && run[0].exitCode == 0;
}

// Makes C:\z614 and removes earlier copies and the RunOnce value, so a scenario sees its own.
inline void PrepareMachine() {
  CreateDirectoryA("C:\\z614", nullptr);
  for (const std::string& name : TemporaryCopies()) {
    SetFileAttributesA((TempFolder() + name).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA((TempFolder() + name).c_str());
  }
  RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kRunOnceKey, kProductName);
}
