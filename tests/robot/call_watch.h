// Watches the calls of one exported function in another process without letting them run: the
// robot attaches as the process's debugger, puts a breakpoint on the function's first byte and,
// at each call, records the first argument and returns the next of the given answers to the
// caller (the last answer repeats). This is how a scenario sees the setup ask for a restart
// without the test machine restarting. 64-bit processes only; tests only.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CallWatch {
 public:
  CallWatch(DWORD processId, const std::string& module, const std::string& function,
            std::vector<uint64_t> answers);
  // Takes the breakpoint out again and lets the process run on.
  ~CallWatch();
  CallWatch(const CallWatch&) = delete;
  CallWatch& operator=(const CallWatch&) = delete;

  // True once the breakpoint is in place; false when attaching or planting it failed.
  bool WaitUntilArmed(DWORD timeoutMs);
  // The first argument of every call seen so far, in order.
  std::vector<uint64_t> Calls();

 private:
  void Run();
  void OnBreakpoint(DWORD threadId);

  DWORD processId_;
  std::string module_, function_;
  std::vector<uint64_t> answers_;
  HANDLE process_ = nullptr;
  uintptr_t address_ = 0;
  BYTE original_ = 0;
  std::atomic<int> armed_{0};  // 0 not yet, 1 armed, -1 failed
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<uint64_t> calls_;
  std::thread thread_;
};
