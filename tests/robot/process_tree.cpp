// Following a started program and its children with the debugging calls: the command line each
// process was given, and how it ended.
#include <winternl.h>

#include <algorithm>
#include <map>

#include "tests/robot/wizard_robot.h"

namespace {

using NtQueryInformationProcessFn = LONG(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);

template <typename T>
bool ReadRemote(HANDLE process, const void* address, T* out) {
  SIZE_T read = 0;
  return ReadProcessMemory(process, address, out, sizeof *out, &read) && read == sizeof *out;
}

// The command line of a running process, read from its process parameters.
std::string ReadProcessCommandLine(HANDLE process) {
  static const auto query = reinterpret_cast<NtQueryInformationProcessFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION basic = {};
  if (!query || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) {
    return "";
  }
  PEB peb = {};
  RTL_USER_PROCESS_PARAMETERS parameters = {};
  if (!ReadRemote(process, basic.PebBaseAddress, &peb) ||
      !ReadRemote(process, peb.ProcessParameters, &parameters)) {
    return "";
  }
  std::wstring wide(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
  SIZE_T read = 0;
  if (wide.empty() || !ReadProcessMemory(process, parameters.CommandLine.Buffer, &wide[0],
                                         parameters.CommandLine.Length, &read)) {
    return "";
  }
  const int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), &text[0], size,
                      nullptr, nullptr);
  return text;
}

}  // namespace

bool ProcessTree::Run(const std::string& commandLine, DWORD timeoutMs, const Tick& tick) {
  processes_.clear();
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  std::string mutableLine = commandLine;
  if (!CreateProcessA(nullptr, &mutableLine[0], nullptr, nullptr, FALSE, DEBUG_PROCESS, nullptr,
                      nullptr, &startup, &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);

  std::map<DWORD, HANDLE> running;  // handles owned by the debug events
  std::map<DWORD, bool> sawFirstBreakpoint;
  auto entry = [&](DWORD id) -> TreeProcess& {
    return *std::find_if(processes_.begin(), processes_.end(),
                         [&](const TreeProcess& p) { return p.id == id; });
  };
  const DWORD start = GetTickCount();
  bool started = false;
  while (!started || !running.empty()) {
    if (GetTickCount() - start > timeoutMs) break;
    DEBUG_EVENT event = {};
    if (!WaitForDebugEvent(&event, 50)) {
      if (!tick()) break;
      continue;
    }
    DWORD continueStatus = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT:
        started = true;
        running[event.dwProcessId] = event.u.CreateProcessInfo.hProcess;
        processes_.push_back(TreeProcess{event.dwProcessId, "", STILL_ACTIVE});
        if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
      case EXCEPTION_DEBUG_EVENT:
        // The loader's breakpoint comes once the process parameters are in place: the moment
        // to read the command line. Every other exception goes to the program itself.
        if (event.u.Exception.ExceptionRecord.ExceptionCode == EXCEPTION_BREAKPOINT &&
            !sawFirstBreakpoint[event.dwProcessId]) {
          sawFirstBreakpoint[event.dwProcessId] = true;
          entry(event.dwProcessId).commandLine = ReadProcessCommandLine(running[event.dwProcessId]);
        } else {
          continueStatus = DBG_EXCEPTION_NOT_HANDLED;
        }
        break;
      case EXIT_PROCESS_DEBUG_EVENT:
        entry(event.dwProcessId).exitCode = event.u.ExitProcess.dwExitCode;
        running.erase(event.dwProcessId);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
        break;
      default:
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, continueStatus);
  }
  const bool allEnded = started && running.empty();
  for (const auto& process : running) DebugActiveProcessStop(process.first);
  return allEnded;
}
