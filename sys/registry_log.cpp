#include "sys/registry_log.h"

#include <shlwapi.h>

#include <cstdio>

#include "sys/setup_log.h"

namespace {

// Binary data is shown up to this many bytes, then "...": a profile is a few hundred bytes.
constexpr DWORD kShownBytes = 128;

const char* RootName(HKEY root) {
  if (root == HKEY_LOCAL_MACHINE) return "HKLM";
  if (root == HKEY_CURRENT_USER) return "HKCU";
  if (root == HKEY_CLASSES_ROOT) return "HKCR";
  if (root == HKEY_USERS) return "HKU";
  if (root == HKEY_CURRENT_CONFIG) return "HKCC";
  return "HK?";
}

const char* Text(const char* text) { return text != nullptr ? text : ""; }

// "REG_SZ:text", "REG_DWORD:29", or "REG_n:" and the bytes in hexadecimal.
void FormatData(DWORD type, const void* data, DWORD size, char* out, size_t cap) {
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  if (bytes == nullptr) size = 0;
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    DWORD length = 0;
    while (length < size && bytes[length] != '\0') ++length;
    std::snprintf(out, cap, "%s:%.*s", type == REG_SZ ? "REG_SZ" : "REG_EXPAND_SZ",
                  static_cast<int>(length), reinterpret_cast<const char*>(bytes));
    return;
  }
  if (type == REG_DWORD && size == sizeof(DWORD)) {
    DWORD value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | bytes[i];
    std::snprintf(out, cap, "REG_DWORD:%lu", static_cast<unsigned long>(value));
    return;
  }
  int used = std::snprintf(out, cap, "REG_%lu:", static_cast<unsigned long>(type));
  for (DWORD i = 0; i < size && i < kShownBytes && used > 0 && static_cast<size_t>(used) + 3 < cap;
       ++i) {
    used += std::snprintf(out + used, cap - used, "%02x", bytes[i]);
  }
  if (size > kShownBytes && used > 0 && static_cast<size_t>(used) + 4 < cap) {
    std::snprintf(out + used, cap - used, "...");
  }
}

}  // namespace

void LogValueSet(HKEY root, const char* keyPath, const char* name, DWORD type, const void* data,
                 DWORD size) {
  if (!SetupLogOpen()) return;
  char shown[512];
  FormatData(type, data, size, shown, sizeof shown);
  LogAction("Value set: %s\\%s|%s = %s", RootName(root), Text(keyPath), Text(name), shown);
}

void LogValueDeleted(HKEY root, const char* keyPath, const char* name) {
  LogAction("Value deleted: %s\\%s|%s", RootName(root), Text(keyPath), Text(name));
}

void LogKeyCreated(HKEY root, const char* keyPath, DWORD disposition) {
  if (disposition == REG_CREATED_NEW_KEY) LogAction("Key created: %s\\%s", RootName(root), Text(keyPath));
}

void LogKeyDeleted(HKEY root, const char* keyPath) {
  LogAction("Key deleted: %s\\%s", RootName(root), Text(keyPath));
}

LONG DeleteRegistryKey(HKEY root, const char* keyPath) {
  const LONG status = SHDeleteKeyA(root, keyPath);
  if (status == ERROR_SUCCESS) LogKeyDeleted(root, keyPath);
  return status;
}

LONG DeleteRegistryValue(HKEY root, const char* keyPath, const char* name) {
  const LONG status = SHDeleteValueA(root, keyPath, name);
  if (status == ERROR_SUCCESS) LogValueDeleted(root, keyPath, name);
  return status;
}
