#include "tests/robot/call_watch.h"

#include <psapi.h>

namespace {

// The function's address in the other process: its offset in our own copy of the module,
// added to the module's base there.
uintptr_t RemoteAddress(HANDLE process, const std::string& module, const std::string& function) {
  HMODULE local = LoadLibraryA(module.c_str());
  if (!local) return 0;
  auto procedure = reinterpret_cast<uintptr_t>(GetProcAddress(local, function.c_str()));
  if (!procedure) return 0;
  HMODULE modules[512];
  DWORD needed = 0;
  if (!EnumProcessModules(process, modules, sizeof modules, &needed)) return 0;
  for (DWORD i = 0; i < needed / sizeof modules[0] && i < 512; ++i) {
    char name[MAX_PATH] = "";
    GetModuleBaseNameA(process, modules[i], name, sizeof name);
    if (_stricmp(name, module.c_str()) == 0) {
      return reinterpret_cast<uintptr_t>(modules[i]) + (procedure - reinterpret_cast<uintptr_t>(local));
    }
  }
  return 0;
}

bool WriteByte(HANDLE process, uintptr_t address, BYTE value) {
  DWORD oldProtection = 0;
  void* target = reinterpret_cast<void*>(address);
  if (!VirtualProtectEx(process, target, 1, PAGE_EXECUTE_READWRITE, &oldProtection)) return false;
  bool written = WriteProcessMemory(process, target, &value, 1, nullptr) != FALSE;
  VirtualProtectEx(process, target, 1, oldProtection, &oldProtection);
  FlushInstructionCache(process, target, 1);
  return written;
}

}  // namespace

CallWatch::CallWatch(DWORD processId, const std::string& module, const std::string& function,
                     std::vector<uint64_t> answers)
    : processId_(processId), module_(module), function_(function), answers_(std::move(answers)) {
  thread_ = std::thread([this] { Run(); });
}

CallWatch::~CallWatch() {
  stop_ = true;
  thread_.join();
}

bool CallWatch::WaitUntilArmed(DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (armed_ == 0 && GetTickCount() - start < timeoutMs) Sleep(20);
  return armed_ == 1;
}

std::vector<uint64_t> CallWatch::Calls() {
  std::lock_guard<std::mutex> lock(mutex_);
  return calls_;
}

void CallWatch::OnBreakpoint(DWORD threadId) {
#ifdef _WIN64
  HANDLE thread = OpenThread(THREAD_GET_CONTEXT | THREAD_SET_CONTEXT, FALSE, threadId);
  if (!thread) return;
  CONTEXT context = {};
  context.ContextFlags = CONTEXT_CONTROL | CONTEXT_INTEGER;
  if (GetThreadContext(thread, &context)) {
    uint64_t returnAddress = 0;
    ReadProcessMemory(process_, reinterpret_cast<void*>(context.Rsp), &returnAddress,
                      sizeof returnAddress, nullptr);
    size_t index;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      calls_.push_back(context.Rcx);
      index = calls_.size() - 1;
    }
    // Return to the caller as the function would: the answer in RAX, the return address popped.
    context.Rax = answers_.empty() ? 0 : answers_[std::min(index, answers_.size() - 1)];
    context.Rip = returnAddress;
    context.Rsp += sizeof returnAddress;
    SetThreadContext(thread, &context);
  }
  CloseHandle(thread);
#else
  (void)threadId;
#endif
}

void CallWatch::Run() {
  if (!DebugActiveProcess(processId_)) {
    armed_ = -1;
    return;
  }
  DebugSetProcessKillOnExit(FALSE);
  bool attached = true;
  while (attached) {
    DEBUG_EVENT event;
    if (!WaitForDebugEvent(&event, 50)) {
      if (stop_) break;
      continue;
    }
    DWORD status = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT:
        process_ = event.u.CreateProcessInfo.hProcess;
        if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
        break;
      case EXCEPTION_DEBUG_EVENT: {
        const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
        if (record.ExceptionCode != EXCEPTION_BREAKPOINT) {
          status = DBG_EXCEPTION_NOT_HANDLED;
        } else if (address_ && reinterpret_cast<uintptr_t>(record.ExceptionAddress) == address_) {
          OnBreakpoint(event.dwThreadId);
        } else if (armed_ == 0) {  // the break that attaching causes: plant ours now
          address_ = RemoteAddress(process_, module_, function_);
          if (address_ &&
              ReadProcessMemory(process_, reinterpret_cast<void*>(address_), &original_, 1, nullptr) &&
              WriteByte(process_, address_, 0xCC)) {
            armed_ = 1;
          } else {
            address_ = 0;
            armed_ = -1;
          }
        }
        break;
      }
      case EXIT_PROCESS_DEBUG_EVENT:
        attached = false;
        break;
      default:
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
  }
  if (attached) {
    if (address_) WriteByte(process_, address_, original_);
    DebugActiveProcessStop(processId_);
  }
  if (armed_ == 0) armed_ = -1;
}
