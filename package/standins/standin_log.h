// The trace the demo payload's stand-ins leave: each stand-in that runs appends one line to a
// log in the temporary folder, so a test can see that the setup called it and with what.
//
// File: kStandinLogName in the folder GetTempPathA names, created when missing.
// Line: "<file>|<entry>|<arguments>\r\n"
//   <file>       the stand-in's file name as shipped: "Z614CTL.exe", "DevStop.dll", ...
//   <entry>      "WinMain" for a program ("WinMain hidden" for the control program started
//                hidden); for a library the export called ("DEVICE9XREMOVE")
//   <arguments>  what the stand-in received: a program's command line after its own name
//                (blanks in front removed), a library entry's command-line argument; a line
//                longer than the line buffer is cut, never run past.
// Written with kernel32 alone: the stand-ins import nothing else but user32.
#pragma once
#include <windows.h>

constexpr char kStandinLogName[] = "Z614Standins.log";
constexpr char kStandinLogSeparator = '|';

namespace standin_log {

constexpr DWORD kLineSize = 1024;

// Appends text to line at *length, keeping room for the line end; cuts what does not fit.
inline void Append(char* line, DWORD* length, const char* text) {
  while (text != nullptr && *text != '\0' && *length < kLineSize - 3) line[(*length)++] = *text++;
}

// The full path of the log into path (MAX_PATH bytes); false when it does not fit.
inline bool LogPath(char* path) {
  const DWORD folder = GetTempPathA(MAX_PATH, path);
  if (folder == 0 || folder + sizeof kStandinLogName > MAX_PATH) return false;
  for (DWORD i = 0; i < sizeof kStandinLogName; ++i) path[folder + i] = kStandinLogName[i];
  return true;
}

}  // namespace standin_log

// Appends "<file>|<entry>|<arguments>\r\n" to the log. Appends of several stand-ins running at
// once do not mix: each line is one write to the end of the file.
inline void AppendStandinLog(const char* file, const char* entry, const char* arguments) {
  char path[MAX_PATH];
  if (!standin_log::LogPath(path)) return;
  char line[standin_log::kLineSize];
  DWORD length = 0;
  const char separator[2] = {kStandinLogSeparator, '\0'};
  standin_log::Append(line, &length, file);
  standin_log::Append(line, &length, separator);
  standin_log::Append(line, &length, entry);
  standin_log::Append(line, &length, separator);
  standin_log::Append(line, &length, arguments);
  line[length++] = '\r';
  line[length++] = '\n';
  HANDLE log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(log, line, length, &written, nullptr);
  CloseHandle(log);
}

// A program's own command line after its name (quoted or not) and the blanks behind it.
inline const char* StandinArguments() {
  const char* line = GetCommandLineA();
  if (*line == '"') {
    ++line;
    while (*line != '\0' && *line != '"') ++line;
    if (*line == '"') ++line;
  } else {
    while (*line != '\0' && *line != ' ' && *line != '\t') ++line;
  }
  while (*line == ' ' || *line == '\t') ++line;
  return line;
}
