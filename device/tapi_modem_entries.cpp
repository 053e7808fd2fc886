#include "device/tapi_modem_entries.h"

#include <windows.h>
#include <shlwapi.h>

#include "core/bounded_string.h"
#include "sys/registry_log.h"

// The key lists every modem the remote access service may dial with, one entry per modem
// spread over parallel multi-string values: the n-th string of "Friendly Name" names the
// modem, the n-th of "Address" its port and the n-th of "Usage" what it is used for (client,
// server or both). The key is shared by all modems of the machine, so it is not deleted whole:
// only the strings at the card modem's positions go, in each of the three lists. When no
// modem is left the key describes nothing and goes too.
namespace {

constexpr char kTapiModemsKey[] = "SOFTWARE\\Microsoft\\Ras\\Tapi Devices\\Unimodem";
constexpr char kFriendlyNameList[] = "Friendly Name";
constexpr const char* kParallelLists[] = {"Address", kFriendlyNameList, "Usage"};

// A list of more modems, or longer than the buffer, is left untouched: cutting it would lose
// other modems' entries.
constexpr DWORD kListSize = 4096;
constexpr int kMaxEntries = 128;

struct MultiString {
  char text[kListSize + 2];
  DWORD size = 0;  // bytes, both terminating zeros included
};

bool ReadList(HKEY key, const char* name, MultiString* list) {
  DWORD type = REG_NONE;
  list->size = kListSize;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(list->text),
                       &list->size) != ERROR_SUCCESS ||
      type != REG_MULTI_SZ) {
    return false;
  }
  // Values written without their final zeros still read as a proper list.
  list->text[list->size] = '\0';
  list->text[list->size + 1] = '\0';
  return true;
}

// Drops the strings whose flag is set and writes the list back.
void WriteListWithout(HKEY key, const char* name, const bool* removed, int count) {
  MultiString list;
  if (!ReadList(key, name, &list)) return;
  char kept[kListSize + 2];
  DWORD size = 0;
  int entry = 0;
  for (const char* item = list.text; *item != '\0' && item < list.text + list.size;
       item += lstrlenA(item) + 1, ++entry) {
    if (entry < count && removed[entry]) continue;
    const DWORD length = static_cast<DWORD>(lstrlenA(item)) + 1;
    if (size + length + 1 > sizeof kept) return;
    CopyMemory(kept + size, item, length);
    size += length;
  }
  kept[size++] = '\0';
  if (size == 1) kept[size++] = '\0';
  if (RegSetValueExA(key, name, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kept), size) ==
      ERROR_SUCCESS) {
    LogValueSet(HKEY_LOCAL_MACHINE, kTapiModemsKey, name, REG_MULTI_SZ, kept, size);
  }
}

}  // namespace

int RemoveTapiModemEntries(const char* modemText) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTapiModemsKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                    &key) != ERROR_SUCCESS) {
    return 0;
  }
  MultiString names;
  bool removed[kMaxEntries] = {};
  int count = 0;
  int removedCount = 0;
  bool fits = ReadList(key, kFriendlyNameList, &names);
  for (const char* item = names.text; fits && *item != '\0' && item < names.text + names.size;
       item += lstrlenA(item) + 1) {
    if (count == kMaxEntries) {
      fits = false;
      break;
    }
    removed[count] = FindTextNoCase(item, modemText) != nullptr;
    if (removed[count]) ++removedCount;
    ++count;
  }
  if (!fits || removedCount == 0) {
    RegCloseKey(key);
    return 0;
  }
  for (const char* list : kParallelLists) WriteListWithout(key, list, removed, count);
  RegCloseKey(key);
  if (removedCount == count) DeleteRegistryKey(HKEY_LOCAL_MACHINE, kTapiModemsKey);
  return removedCount;
}
