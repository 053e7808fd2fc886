#include "tests/robot/process_tree.h"

#include <winternl.h>

#include <map>

namespace {

using NtQueryInformationProcessFn = LONG(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);

template <typename T>
bool ReadRemote(HANDLE process, const void* address, T* out) {
  SIZE_T read = 0;
  return ReadProcessMemory(process, address, out, sizeof *out, &read) && read == sizeof *out;
}

}  // namespace

std::string ReadProcessCommandLine(HANDLE process) {
  static const auto query = reinterpret_cast<NtQueryInformationProcessFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION basic = {};
  if (!query || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) return "";
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

bool ProcessTree::Contains(DWORD processId) const {
  for (const TreeProcess& p : processes_) {
    if (p.id == processId) return true;
  }
  return false;
}

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
  const DWORD start = GetTickCount();
  bool started = false;
  while (!started || !running.empty()) {
    if (GetTickCount() - start > timeoutMs) break;
    DEBUG_EVENT event = {};
    if (!WaitForDebugEvent(&event, 50)) {
      if (tick && !tick()) break;
      continue;
    }
    DWORD continueStatus = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT: {
        started = true;
        running[event.dwProcessId] = event.u.CreateProcessInfo.hProcess;
        TreeProcess p;
        p.id = event.dwProcessId;
        processes_.push_back(p);
        if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
      }
      case EXCEPTION_DEBUG_EVENT:
        // The loader's breakpoint comes once the process parameters are in place: the moment
        // to read the command line. Every other exception goes to the program itself.
        if (event.u.Exception.ExceptionRecord.ExceptionCode == EXCEPTION_BREAKPOINT &&
            !sawFirstBreakpoint[event.dwProcessId]) {
          sawFirstBreakpoint[event.dwProcessId] = true;
          for (TreeProcess& p : processes_) {
            if (p.id == event.dwProcessId) p.commandLine = ReadProcessCommandLine(running[p.id]);
          }
        } else {
          continueStatus = DBG_EXCEPTION_NOT_HANDLED;
        }
        break;
      case EXIT_PROCESS_DEBUG_EVENT:
        for (TreeProcess& p : processes_) {
          if (p.id == event.dwProcessId) p.exitCode = event.u.ExitProcess.dwExitCode;
        }
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
  DebugActiveProcessStop(info.dwProcessId);
  for (const auto& entry : running) DebugActiveProcessStop(entry.first);
  return allEnded;
}
