#include <windows.h>
#include <shlwapi.h>

#include "core/bounded_string.h"
#include "device/card_driver_contract.h"
#include "device/model_text.h"
#include "device/registry_cleanup.h"
#include "device/registry_scan.h"
#include "device/registry_traces.h"
#include "device/tapi_modem_entries.h"
#include "sys/registry_log.h"

namespace {

// Event log sources of the card's drivers ("%s" is the model name).
constexpr const char* kEventLogSources[] = {"%sndis", card_driver::kNetworkService,
                                            card_driver::kSmartCardService};
constexpr char kEventLogKey[] = "SYSTEM\\CurrentControlSet\\Services\\Eventlog\\System\\";
constexpr char kModemSettingsKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Unimodem\\DeviceSpecific\\";
constexpr char kModemSettingsSuffix[] = "::Xelta::Xelta";

enum class Needle { kModelText, kDeviceId };

// One subkey scan: the key, what is read of each subkey, and the text it must contain.
struct SubkeyScan {
  const char* key;
  const char* subkey;     // the value is read from this subkey of each subkey; nullptr: itself
  const char* valueName;  // nullptr: the subkey's name is tested
  const char* text;       // "%s" is the model name or the device ID, as needle says
  Needle needle;
};

constexpr SubkeyScan kSubkeyScans[] = {
    {"SOFTWARE\\Microsoft\\Fax\\Devices", nullptr, "Device Name", kProductText, Needle::kModelText},
    {kSmartCardReadersKey, nullptr, nullptr, kSmartCardReaderName, Needle::kModelText},
    {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards", nullptr, "Description",
     kProductText, Needle::kModelText},
    {"SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E791-E325-11CE-BFC1-08002BE10318}", nullptr,
     "MatchingDeviceId", "%s", Needle::kDeviceId},
    {"SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E96D-E325-11CE-BFC1-08002BE10318}", nullptr,
     "PortDriver", "%sMDM.sys", Needle::kModelText},
    {"SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}", nullptr,
     "FirmwareImage", "%sFW.bin", Needle::kModelText},
    {"SYSTEM\\CurrentControlSet\\Control\\Class\\{50DD5230-BA8A-11D1-BF5D-0000F805F530}", nullptr,
     "InfPath", "%ssc.inf", Needle::kModelText},
    {"SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}",
     "Connection", "PnpInstanceID", "%s", Needle::kDeviceId},
    {"SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{2c7089aa-2e0e-11d1-b114-00c04fc2aae4}",
     nullptr, nullptr, "xelta-%s", Needle::kModelText},
    {"SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{50dd5230-ba8a-11d1-bf5d-0000f805f530}",
     nullptr, nullptr, "xelta-%s", Needle::kModelText},
};

// A scan whose text does not form (the model name or the device ID does not load) is
// skipped: an empty or cut text would pick out other makers' keys.
void RunSubkeyScan(const SubkeyScan& scan) {
  char text[kTraceTextSize];
  const int formed = scan.needle == Needle::kDeviceId
                         ? FormatWithDeviceId(scan.text, text, sizeof text)
                         : FormatWithModel(scan.text, text, sizeof text);
  if (!formed || text[0] == '\0') return;
  const ScanMatch match{scan.subkey, scan.valueName, text};
  ScanKey(HKEY_LOCAL_MACHINE, scan.key, ScanItems::kSubkeys, SubkeyMatches, &match);
}

// Deletes root\prefix + (format filled with the model name) + suffix with its whole tree.
void DeleteModelTree(HKEY root, const char* prefix, const char* format, const char* suffix) {
  char name[kTraceTextSize];
  char path[kScanPathSize];
  if (!FormatWithModel(format, name, sizeof name) || !CopyText(path, sizeof path, prefix) ||
      !AppendText(path, sizeof path, name) || !AppendText(path, sizeof path, suffix)) {
    return;
  }
  DeleteRegistryKey(root, path);
}

}  // namespace

void CleanRegistryNT() {
  DeleteRegistryKey(HKEY_CURRENT_USER, kStartMenuOrderKey);
  for (const char* source : kEventLogSources) {
    DeleteModelTree(HKEY_LOCAL_MACHINE, kEventLogKey, source, "");
  }
  DeleteModelTree(HKEY_LOCAL_MACHINE, kModemSettingsKey, card_driver::kGsmModemName,
                  kModemSettingsSuffix);
  char modem[kTraceTextSize];
  if (FormatWithModel(kProductText, modem, sizeof modem)) RemoveTapiModemEntries(modem);
  for (const SubkeyScan& scan : kSubkeyScans) RunSubkeyScan(scan);
  if (SHDeleteEmptyKeyA(HKEY_LOCAL_MACHINE, kMakerKey) == ERROR_SUCCESS) {
    LogKeyDeleted(HKEY_LOCAL_MACHINE, kMakerKey);
  }
}
