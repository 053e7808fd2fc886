#include "device/registry_scan.h"

#include <shlwapi.h>

#include "core/bounded_string.h"
#include "sys/registry_log.h"

int ScanKey(HKEY root, const char* keyPath, ScanItems items, ScanTest test, const void* context) {
  HKEY key = nullptr;
  if (RegOpenKeyA(root, keyPath, &key) != ERROR_SUCCESS) return 0;
  int deleted = 0;
  DWORD index = 0;
  for (;;) {
    char name[kScanNameSize + 1];
    DWORD nameSize = kScanNameSize;
    const LONG found = items == ScanItems::kSubkeys
                           ? SHEnumKeyExA(key, index, name, &nameSize)
                           : SHEnumValueA(key, index, name, &nameSize, nullptr, nullptr, nullptr);
    if (found != ERROR_SUCCESS) break;
    name[kScanNameSize] = '\0';
    // A value's data is read by its name, so that a long value of another program is a miss
    // rather than the end of the scan.
    char data[kScanDataSize + 1] = "";
    if (items == ScanItems::kValues) {
      DWORD type = REG_NONE;
      DWORD dataSize = kScanDataSize;
      if (SHGetValueA(root, keyPath, name, &type, data, &dataSize) == ERROR_SUCCESS &&
          (type == REG_SZ || type == REG_EXPAND_SZ)) {
        data[dataSize < kScanDataSize ? dataSize : kScanDataSize] = '\0';
      } else {
        data[0] = '\0';
      }
    }

    char path[kScanPathSize];
    bool hit = CopyText(path, sizeof path, keyPath);
    if (items == ScanItems::kSubkeys) {
      // A path that does not fit would name another key: such a subkey is left alone.
      hit = hit && AppendText(path, sizeof path, "\\") && AppendText(path, sizeof path, name);
    }
    const ScanItem item{name, path, data};
    hit = hit && test(item, context);

    bool gone = false;
    if (hit) {
      gone = (items == ScanItems::kSubkeys ? DeleteRegistryKey(root, path)
                                           : DeleteRegistryValue(root, keyPath, name)) == ERROR_SUCCESS;
    }
    // A deleted item lets the next one move into its index. An item that resists deletion is
    // stepped over like a miss: taking it again at the same index would never end, and
    // leaving one trace behind is better than a setup that hangs in its last step.
    if (gone) {
      ++deleted;
    } else {
      ++index;
    }
  }
  RegCloseKey(key);
  return deleted;
}

bool SubkeyMatches(const ScanItem& item, const void* context) {
  const ScanMatch& match = *static_cast<const ScanMatch*>(context);
  if (match.valueName == nullptr) return FindTextNoCase(item.name, match.text) != nullptr;
  char path[kScanPathSize];
  if (!CopyText(path, sizeof path, item.path)) return false;
  if (match.subkey != nullptr &&
      !(AppendText(path, sizeof path, "\\") && AppendText(path, sizeof path, match.subkey))) {
    return false;
  }
  char value[kScanDataSize + 1];
  DWORD size = kScanDataSize;
  DWORD type = REG_NONE;
  if (SHGetValueA(HKEY_LOCAL_MACHINE, path, match.valueName, &type, value, &size) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return false;
  }
  value[size < kScanDataSize ? size : kScanDataSize] = '\0';
  return FindTextNoCase(value, match.text) != nullptr;
}
