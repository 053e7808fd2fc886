#include "wizard/install_record.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "res/resource.h"
#include "sys/module_instance.h"
#include "sys/uninstall_registration.h"
#include "sys/registry_log.h"

namespace {

constexpr char kTargetFolderValue[] = "TargetFolder";
constexpr char kInstalledComponentsValue[] = "InstalledComponents";

// Opens (creating when needed) the record's key. False when the model name cannot be loaded:
// a key without it would belong to no product.
// `path` (MAX_PATH bytes) receives the key's path for the log.
bool OpenInstallationKey(HKEY* key, char* path) {
  char model[kTextBufferSize];
  if (LoadText(IDS_MODEL_NAME, model) == 0) return false;
  const int length = std::snprintf(path, MAX_PATH, kInstallationKeyFormat, model);
  if (length < 0 || length >= MAX_PATH) return false;
  DWORD disposition = 0;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, key, &disposition) != ERROR_SUCCESS) {
    return false;
  }
  LogKeyCreated(HKEY_LOCAL_MACHINE, path, disposition);
  return true;
}

}  // namespace

int WriteTargetFolder(const char* path) {
  if (path == nullptr) return 0;
  HKEY key = nullptr;
  char keyPath[MAX_PATH];
  if (!OpenInstallationKey(&key, keyPath)) return 0;
  const DWORD size = static_cast<DWORD>(std::strlen(path) + 1);
  const LONG status = RegSetValueExA(key, kTargetFolderValue, 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(path), size);
  RegCloseKey(key);
  if (status == ERROR_SUCCESS) {
    LogValueSet(HKEY_LOCAL_MACHINE, keyPath, kTargetFolderValue, REG_SZ, path, size);
  }
  return status == ERROR_SUCCESS;
}

int ReadTargetFolder(char* folder) {
  if (folder == nullptr) return 0;
  folder[0] = '\0';
  HKEY key = nullptr;
  char keyPath[MAX_PATH];
  if (!OpenInstallationKey(&key, keyPath)) return 0;
  DWORD size = MAX_PATH;
  const LONG status = RegQueryValueExA(key, kTargetFolderValue, nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(folder), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) {
    folder[0] = '\0';
    return 0;
  }
  // Terminate after the characters stored; a full buffer keeps 259 of them.
  folder[size < MAX_PATH ? size : MAX_PATH - 1] = '\0';
  return 1;
}

int WriteInstalledComponents(ComponentSet components) {
  HKEY key = nullptr;
  char keyPath[MAX_PATH];
  if (!OpenInstallationKey(&key, keyPath)) return 0;
  const DWORD value = components;
  const LONG status = RegSetValueExA(key, kInstalledComponentsValue, 0, REG_DWORD,
                                     reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
  if (status == ERROR_SUCCESS) {
    LogValueSet(HKEY_LOCAL_MACHINE, keyPath, kInstalledComponentsValue, REG_DWORD, &value,
                sizeof value);
  }
  return status == ERROR_SUCCESS;
}

ComponentSet ReadInstalledComponents() {
  DWORD components = kAllComponents;
  HKEY key = nullptr;
  char keyPath[MAX_PATH];
  if (!OpenInstallationKey(&key, keyPath)) return kAllComponents;
  DWORD size = sizeof components;
  if (RegQueryValueExA(key, kInstalledComponentsValue, nullptr, nullptr,
                       reinterpret_cast<BYTE*>(&components), &size) != ERROR_SUCCESS ||
      size != sizeof components) {
    components = kAllComponents;
  }
  RegCloseKey(key);
  return components;
}

int IsProductInstalled() {
  char productName[kTextBufferSize];
  if (LoadText(IDS_PRODUCT_NAME, productName) == 0) return 0;
  char path[kUninstallKeySize];
  if (!FormatUninstallKey(path, sizeof path, productName)) return 0;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return 0;
  RegCloseKey(key);

  char folder[MAX_PATH];
  ReadTargetFolder(folder);
  return folder[0] != '\0';
}
