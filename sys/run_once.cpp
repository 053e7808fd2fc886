#include "sys/run_once.h"
#include "sys/registry_log.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstring>

namespace {

constexpr char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

}  // namespace

int SetRunOnce(const char* valueName, const char* command) {
  // An empty name would overwrite the key's default value; an empty command runs nothing.
  if (valueName == nullptr || *valueName == '\0' || command == nullptr || *command == '\0') {
    return 0;
  }
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRunOnceKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS) {
    return 0;
  }
  LogKeyCreated(HKEY_LOCAL_MACHINE, kRunOnceKey, disposition);
  const DWORD size = static_cast<DWORD>(std::strlen(command) + 1);
  const LONG status = RegSetValueExA(key, valueName, 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(command), size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return 0;
  LogValueSet(HKEY_LOCAL_MACHINE, kRunOnceKey, valueName, REG_SZ, command, size);
  return 1;
}

int DeleteRunOnce(const char* valueName) {
  if (valueName == nullptr || *valueName == '\0') return 0;
  return DeleteRegistryValue(HKEY_LOCAL_MACHINE, kRunOnceKey, valueName) == ERROR_SUCCESS;
}
