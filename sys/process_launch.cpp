#include "sys/process_launch.h"

#include <cstring>

#include "core/bounded_string.h"
#include "sys/setup_log.h"

namespace {

// The command line as the started program expects it. Quoting is done here rather than with
// PathQuoteSpacesA, whose MAX_PATH buffer has no room for the quotes of a 259-character path.
bool BuildCommandLine(char* commandLine, const char* executable, const char* arguments) {
  commandLine[0] = '\0';
  const bool quote = std::strchr(executable, ' ') != nullptr && executable[0] != '"';
  bool fits = true;
  if (quote) fits = AppendText(commandLine, kCommandLineSize, "\"");
  fits = fits && AppendText(commandLine, kCommandLineSize, executable);
  if (quote) fits = fits && AppendText(commandLine, kCommandLineSize, "\"");
  if (arguments != nullptr && *arguments != '\0') {
    fits = fits && AppendText(commandLine, kCommandLineSize, " ") &&
           AppendText(commandLine, kCommandLineSize, arguments);
  }
  return fits;  // a cut command line would start something else than asked
}

}  // namespace

DWORD LaunchProcess(const char* executable, const char* arguments, int showCommand,
                    HANDLE* keptProcess) {
  if (keptProcess) *keptProcess = nullptr;
  if (executable == nullptr || *executable == '\0') return ERROR_INVALID_PARAMETER;
  char commandLine[kCommandLineSize];
  if (!BuildCommandLine(commandLine, executable, arguments)) return ERROR_BUFFER_OVERFLOW;

  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION process;
  std::memset(&process, 0, sizeof process);
  if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &process)) {
    const DWORD error = GetLastError();
    LogAction("Program not started (error %lu): %s", static_cast<unsigned long>(error), commandLine);
    return error;
  }
  LogAction("Program started: %s", commandLine);
  // Callers look for the program's window next; give it the time to make one.
  WaitForInputIdle(process.hProcess, kLaunchIdleWaitMs);
  CloseHandle(process.hThread);
  if (keptProcess) {
    *keptProcess = process.hProcess;
  } else {
    CloseHandle(process.hProcess);
  }
  return 0;
}
