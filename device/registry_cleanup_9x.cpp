#include <windows.h>
#include <shlwapi.h>

#include "core/bounded_string.h"
#include "device/model_text.h"
#include "device/registry_cleanup.h"
#include "device/registry_scan.h"
#include "device/registry_traces.h"
#include "sys/registry_log.h"

namespace {

// The setup library's record of OEM INF files: one value per copied file, its data the file's
// original name.
constexpr char kOemNamesKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup\\SetupX\\INF\\OEM Name";
constexpr char kOemInfPattern[] = "%s*.inf";

// Records of drivers that failed to load, one value per driver, named after the device.
constexpr const char* kFailedLoadKeys[] = {
    "System\\CurrentControlSet\\Control\\ASD\\Prob\\{CF2524C0-29AE-11CF-97EA-00AA0034319D}",
    "System\\CurrentControlSet\\Control\\ASD\\Prob\\{9B4E7760-3196-11CF-97EA-00AA0034319D}",
};
constexpr char kMakerWord[] = "xelta";

constexpr char kRootReadersKey[] = "Enum\\Root\\SmartCardReader";
constexpr char kReaderHardwareId[] = "xelta_%s";

bool DataMatchesPattern(const ScanItem& item, const void* pattern) {
  return item.data[0] != '\0' && PathMatchSpecA(item.data, static_cast<const char*>(pattern));
}

bool NameHoldsMakerAndModel(const ScanItem& item, const void* model) {
  return FindTextNoCase(item.name, kMakerWord) != nullptr &&
         FindTextNoCase(item.name, static_cast<const char*>(model)) != nullptr;
}

}  // namespace

void CleanRegistry9x() {
  DeleteRegistryKey(HKEY_CURRENT_USER, kStartMenuOrderKey);
  // Without the model name every text below would pick out other makers' items.
  char model[kTraceTextSize];
  char pattern[kTraceTextSize];
  char readerName[kTraceTextSize];
  char hardwareId[kTraceTextSize];
  if (FormatWithModel("%s", model, sizeof model) && model[0] != '\0' &&
      FormatWithModel(kOemInfPattern, pattern, sizeof pattern) &&
      FormatWithModel(kSmartCardReaderName, readerName, sizeof readerName) &&
      FormatWithModel(kReaderHardwareId, hardwareId, sizeof hardwareId)) {
    ScanKey(HKEY_LOCAL_MACHINE, kOemNamesKey, ScanItems::kValues, DataMatchesPattern, pattern);
    for (const char* key : kFailedLoadKeys) {
      ScanKey(HKEY_LOCAL_MACHINE, key, ScanItems::kValues, NameHoldsMakerAndModel, model);
    }
    const ScanMatch byName{nullptr, nullptr, readerName};
    ScanKey(HKEY_LOCAL_MACHINE, kSmartCardReadersKey, ScanItems::kSubkeys, SubkeyMatches, &byName);
    const ScanMatch byHardwareId{nullptr, "HardwareID", hardwareId};
    ScanKey(HKEY_LOCAL_MACHINE, kRootReadersKey, ScanItems::kSubkeys, SubkeyMatches, &byHardwareId);
  }
  if (SHDeleteEmptyKeyA(HKEY_LOCAL_MACHINE, kMakerKey) == ERROR_SUCCESS) {
    LogKeyDeleted(HKEY_LOCAL_MACHINE, kMakerKey);
  }
}
