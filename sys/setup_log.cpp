#include "sys/setup_log.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

namespace {

// A line holds the time stamp, the text of an action with up to two paths, and CR LF.
constexpr int kLineSize = 1024;
constexpr int kStampLength = 24;  // "YYYY-MM-DD HH:MM:SS.mmm "

HANDLE logFile = INVALID_HANDLE_VALUE;
// The worker thread logs its actions while the main thread logs its messages.
CRITICAL_SECTION logLock;
bool lockReady = false;

// Line breaks (and other control bytes) inside the text become one space per run.
int FoldLineBreaks(char* text, int length) {
  int out = 0;
  bool inBreak = false;
  for (int in = 0; in < length; ++in) {
    const unsigned char c = static_cast<unsigned char>(text[in]);
    if (c < 0x20) {
      if (!inBreak) text[out++] = ' ';
      inBreak = true;
    } else {
      text[out++] = text[in];
      inBreak = false;
    }
  }
  return out;
}

}  // namespace

int OpenSetupLog(const char* path) {
  if (!lockReady) {
    InitializeCriticalSection(&logLock);
    lockReady = true;
  }
  CloseSetupLog();
  if (path == nullptr || *path == '\0') return 0;
  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  EnterCriticalSection(&logLock);
  logFile = file;
  LeaveCriticalSection(&logLock);
  return 1;
}

void CloseSetupLog() {
  if (!lockReady) return;
  EnterCriticalSection(&logLock);
  if (logFile != INVALID_HANDLE_VALUE) {
    FlushFileBuffers(logFile);
    CloseHandle(logFile);
    logFile = INVALID_HANDLE_VALUE;
  }
  LeaveCriticalSection(&logLock);
}

int SetupLogOpen() { return logFile != INVALID_HANDLE_VALUE; }

void LogAction(const char* format, ...) {
  if (logFile == INVALID_HANDLE_VALUE || format == nullptr) return;
  char line[kLineSize];
  SYSTEMTIME now;
  GetLocalTime(&now);
  std::snprintf(line, sizeof line, "%04u-%02u-%02u %02u:%02u:%02u.%03u ", now.wYear, now.wMonth,
                now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
  va_list arguments;
  va_start(arguments, format);
  // Room is kept behind the text for CR LF; a longer text is cut.
  int length = std::vsnprintf(line + kStampLength, sizeof line - kStampLength - 2, format,
                              arguments);
  va_end(arguments);
  if (length < 0) length = 0;
  if (length > kLineSize - kStampLength - 3) length = kLineSize - kStampLength - 3;
  length = kStampLength + FoldLineBreaks(line + kStampLength, length);
  line[length++] = '\r';
  line[length++] = '\n';

  EnterCriticalSection(&logLock);
  if (logFile != INVALID_HANDLE_VALUE) {
    // Another setup may have appended since: each line goes to the end as it stands now.
    SetFilePointer(logFile, 0, nullptr, FILE_END);
    DWORD written = 0;
    WriteFile(logFile, line, static_cast<DWORD>(length), &written, nullptr);
  }
  LeaveCriticalSection(&logLock);
}

void FlushSetupLog() {
  if (logFile == INVALID_HANDLE_VALUE) return;
  EnterCriticalSection(&logLock);
  if (logFile != INVALID_HANDLE_VALUE) FlushFileBuffers(logFile);
  LeaveCriticalSection(&logLock);
}
