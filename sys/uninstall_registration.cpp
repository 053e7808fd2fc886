#include "sys/uninstall_registration.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstring>

#include "core/bounded_string.h"
#include "sys/registry_log.h"

namespace {

LONG SetStringValue(HKEY key, const char* path, const char* name, const char* text) {
  // The data length counts the terminating zero, as the list's readers expect.
  const DWORD size = static_cast<DWORD>(std::strlen(text) + 1);
  const LONG status = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size);
  if (status == ERROR_SUCCESS) LogValueSet(HKEY_LOCAL_MACHINE, path, name, REG_SZ, text, size);
  return status;
}

}  // namespace

int FormatUninstallKey(char* path, size_t capacity, const char* keyName) {
  if (path == nullptr || keyName == nullptr || *keyName == '\0') return 0;
  // A cut name would register or delete another entry than meant.
  return CopyText(path, capacity, kUninstallListKey) && AppendText(path, capacity, keyName);
}

int RegisterUninstall(const char* keyName, const char* displayName, const char* uninstallCommand) {
  if (displayName == nullptr || uninstallCommand == nullptr) return 0;
  char path[kUninstallKeySize];
  if (!FormatUninstallKey(path, sizeof path, keyName)) return 0;
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS) {
    return 0;
  }
  LogKeyCreated(HKEY_LOCAL_MACHINE, path, disposition);
  // Only the uninstall command decides the result: without it the entry cannot uninstall.
  SetStringValue(key, path, "DisplayName", displayName);
  const LONG status = SetStringValue(key, path, "UninstallString", uninstallCommand);
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

int UnregisterUninstall(const char* keyName) {
  char path[kUninstallKeySize];
  if (!FormatUninstallKey(path, sizeof path, keyName)) return 0;
  return DeleteRegistryKey(HKEY_LOCAL_MACHINE, path) == ERROR_SUCCESS;
}
