// Scratch files and registry access for the Windows-side tests. Each test works in its own
// folder under C:\z614\sys (the Wine wrapper empties C:\z614 before each run).
#pragma once
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>

#include "device/service_control.h"
#include "sys/delete_files.h"

// A fresh, empty folder C:\z614\sys\<name>.
inline std::string MakeScratchFolder(const char* name) {
  CreateDirectoryA("C:\\z614", nullptr);
  CreateDirectoryA("C:\\z614\\sys", nullptr);
  const std::string folder = std::string("C:\\z614\\sys\\") + name;
  DeleteFolderTree(folder.c_str());
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

inline bool WriteTestFile(const std::string& path, const std::string& content) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
  return written == content.size();
}

inline bool ReadTestFile(const std::string& path, std::string* content) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char chunk[4096];
  DWORD read = 0;
  content->clear();
  while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) {
    content->append(chunk, read);
  }
  CloseHandle(file);
  return true;
}

inline bool PathExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Entries directly in folder, without "." and "..".
inline int CountEntries(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do {
    if (lstrcmpA(found.cFileName, ".") != 0 && lstrcmpA(found.cFileName, "..") != 0) ++count;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return count;
}

// A value under HKEY_LOCAL_MACHINE with exactly the bytes stored.
struct RegistryValue {
  bool present = false;
  DWORD type = REG_NONE;
  std::string data;
};

inline RegistryValue ReadMachineValue(const char* keyPath, const char* valueName) {
  RegistryValue value;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
  char data[1024];
  DWORD size = sizeof data;
  value.present = RegQueryValueExA(key, valueName, nullptr, &value.type,
                                   reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS;
  if (value.present) value.data.assign(data, size);
  RegCloseKey(key);
  return value;
}

inline bool MachineKeyExists(const char* keyPath) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

inline bool SetMachineValue(const char* keyPath, const char* valueName, DWORD type,
                            const void* data, DWORD size) {
  return SHSetValueA(HKEY_LOCAL_MACHINE, keyPath, valueName, type, data, size) == ERROR_SUCCESS;
}

// The folder of the running test executable, where the helper programs are built.
inline std::string TestExecutableFolder() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, sizeof path);
  PathRemoveFileSpecA(path);
  return path;
}

// A service of the given type whose program is the test service.
inline void CreateTestService(const char* name, DWORD type, const std::string& arguments = "") {
  const std::string command = "\"" + TestExecutableFolder() + "\\test_service.exe\"" + arguments;
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE service = CreateServiceA(manager, name, name, SERVICE_ALL_ACCESS, type,
                                     SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, command.c_str(),
                                     nullptr, nullptr, nullptr, nullptr, nullptr);
  EXPECT_NE(service, nullptr) << GetLastError();
  CloseServiceHandle(service);
  CloseServiceHandle(manager);
}

// A deleted service is only marked for deletion; the manager drops it once its process has
// gone and the last handle is closed, which can take a moment after the stop.
inline bool ServiceGoneWithinTwoSeconds(const char* name) {
  for (int i = 0; i < 40 && ServiceExists(name); ++i) Sleep(50);
  return ServiceExists(name) == 0;
}
