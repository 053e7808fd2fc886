// The simulated card for the Windows-side tests: the card simulator, the substitute dial-up
// library's phone book, and the 9x family's drivers answering through the device I/O seam
// (deviceIo = {OpenDevice, Request, CloseDevice}; the system's calls back afterwards).
#pragma once
#include <windows.h>
#include <shlwapi.h>

#include <cstring>
#include <string>

#include "device/device_io.h"
#include "tests/substitutes/simulated_card.h"
#include "tests/win/sys_test_support.h"

inline const std::string phoneBook = std::string(getenv("SystemRoot")) + "\\system32\\rasphone.pbk";

// Runs the card simulator and waits for it, or returns its process when wait is false.
inline HANDLE RunSimulator(std::string arguments, bool wait = true) {
  std::string command = "\"" + TestExecutableFolder() + "\\card_simulator.exe\" " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
  CloseHandle(process.hThread);
  if (wait) WaitForSingleObject(process.hProcess, INFINITE), CloseHandle(process.hProcess);
  return wait ? nullptr : process.hProcess;
}
inline void Simulate(const char* value, const char* text) {
  if (text) SHSetValueA(HKEY_LOCAL_MACHINE, kSimulatorKey, value, REG_SZ, text, strlen(text) + 1);
}

// The 9x drivers: whether the bus and the management device open, how the status request is
// served and the reply; with follow, the simulated card decides.
enum Serve { kAtOnce, kPending, kFails, kPendingFails };
struct Drivers9x {
  bool bus = false, management = false, follow = true;
  Serve serve = kAtOnce;
  uint32_t reply[10] = {};
  int openHandles = 0;
};
inline Drivers9x drivers;
inline HANDLE WINAPI OpenDevice(LPCSTR name, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD disposition, DWORD flags, HANDLE) {
  const bool bus = strcmp(name, "\\\\.\\Z614LBUS") == 0;
  if (drivers.follow) drivers.reply[1] = drivers.bus = drivers.management = SHGetValueA(HKEY_LOCAL_MACHINE, kSimulatorKey, "GsmModem", 0, 0, 0) == 0;
  const bool opens = bus ? drivers.bus && disposition == OPEN_ALWAYS
                         : (drivers.management || drivers.follow) && disposition == CREATE_NEW && flags == 0x44000000;
  return opens ? (++drivers.openHandles, reinterpret_cast<HANDLE>(bus ? 0xB05 : 0x3C)) : INVALID_HANDLE_VALUE;
}
inline BOOL WINAPI CloseDevice(HANDLE) { return --drivers.openHandles, TRUE; }
// A pending request is complete by the time the caller waits for it; other requests fail.
inline BOOL WINAPI Request(HANDLE, DWORD code, LPVOID, DWORD, LPVOID output, DWORD size, LPDWORD, LPOVERLAPPED overlapped) {
  if (code != 0x95002580 || size != 40) return SetLastError(ERROR_INVALID_PARAMETER), FALSE;
  memcpy(output, drivers.reply, size);
  if (drivers.serve == kAtOnce || drivers.serve == kFails) return SetLastError(ERROR_GEN_FAILURE), drivers.serve == kAtOnce;
  overlapped->Internal = drivers.serve == kPending ? 0 : 0xC0000001;  // STATUS_UNSUCCESSFUL
  return SetEvent(overlapped->hEvent), SetLastError(ERROR_IO_PENDING), FALSE;
}
