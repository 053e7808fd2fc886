// Removal of the card's devices on the 9x family: the removal library that comes with the
// setup takes the devices out of the running configuration, then the enumeration keys of the
// card and the class keys of its functions go.
#include <shlwapi.h>

#include "core/bounded_string.h"
#include "device/card_driver_contract.h"
#include "device/card_names.h"
#include "device/device_steps.h"
#include "device/model_text.h"
#include "sys/delete_files.h"
#include "sys/globals.h"
#include "sys/module_instance.h"
#include "sys/process_launch.h"
#include "sys/registry_log.h"

namespace {

// Extracts the removal library into the temporary folder, runs its entry and deletes it.
// Without the extracted library nothing is started: the host would only complain about a
// missing file, and the registry steps remove what matters.
void RunRemovalLibrary() {
  char library[MAX_PATH];
  if (!CopyText(library, sizeof library, setupContext.tempFolder) ||
      !PathAppendA(library, card_driver::kDeviceRemovalLibrary)) {
    return;
  }
  if (!payloadArchive.Open("")) return;
  if (payloadArchive.ExtractEntry(card_driver::kDeviceRemovalLibrary, library) == 0) return;
  char arguments[kCommandLineSize];
  if (CopyText(arguments, sizeof arguments, library) &&
      AppendText(arguments, sizeof arguments, card_driver::kDeviceRemovalEntry)) {
    LaunchProcess(card_driver::kDeviceRemovalHost, arguments, SW_SHOWNORMAL);
  }
  DeleteFiles(library);
}

// Deletes the tree of a key that opens (closed first).
void DeleteTreeIfItOpens(const char* probe, const char* tree) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, probe, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  RegCloseKey(key);
  DeleteRegistryKey(HKEY_LOCAL_MACHINE, tree);
}

void DeleteMultifunctionChildren() {
  for (int n = 0; n < card_driver::kNumberedKeyCount; ++n) {
    char child[MAX_PATH];
    char tree[MAX_PATH];
    if (FormatNumberedKey(card_driver::kMultifunctionChildKey9x, n, true, child, sizeof child) &&
        FormatNumberedKey(card_driver::kMultifunctionChildTree9x, n, true, tree, sizeof tree)) {
      DeleteTreeIfItOpens(child, tree);
    }
  }
}

// Whether the key's value names the card's function as the class key's test wants it.
bool ClassKeyIsTheCards(HKEY key, const card_driver::ClassKey9x& classKey, const char* text) {
  char data[kTextBufferSize];
  DWORD size = sizeof data;
  if (RegQueryValueExA(key, classKey.valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                       &size) != ERROR_SUCCESS) {
    return false;
  }
  data[size < sizeof data ? size : sizeof data - 1] = '\0';
  return classKey.contains ? FindTextNoCase(data, text) != nullptr : EqualsNoCase(data, text);
}

void DeleteClassKeys(const card_driver::ClassKey9x& classKey) {
  char text[kTextBufferSize];
  const int formatted = classKey.byDeviceId ? FormatWithDeviceId(classKey.textFormat, text, sizeof text)
                                            : FormatWithModel(classKey.textFormat, text, sizeof text);
  if (!formatted || text[0] == '\0') return;
  for (int n = 0; n < card_driver::kNumberedKeyCount; ++n) {
    char path[MAX_PATH];
    if (!FormatNumberedKey(classKey.keyFormat, n, false, path, sizeof path)) continue;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
    const bool cards = ClassKeyIsTheCards(key, classKey, text);
    RegCloseKey(key);
    if (cards) DeleteRegistryKey(HKEY_LOCAL_MACHINE, path);
  }
}

}  // namespace

void Remove9xDevices() {
  RunRemovalLibrary();
  char tree[MAX_PATH];
  if (FormatWithDeviceId(card_driver::kPcCardTree9x, tree, sizeof tree)) {
    DeleteRegistryKey(HKEY_LOCAL_MACHINE, tree);
  }
  if (FormatWithModel(card_driver::kModemTree9x, tree, sizeof tree)) {
    DeleteRegistryKey(HKEY_LOCAL_MACHINE, tree);
  }
  DeleteMultifunctionChildren();
  for (const card_driver::ClassKey9x& classKey : card_driver::kClassKeys9x) {
    DeleteClassKeys(classKey);
  }
}
