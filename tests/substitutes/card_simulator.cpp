// Inserts and removes the Z614 card as its drivers would, by their registry traces:
//   card_simulator insert|remove [delay-ms]   |   card_simulator state   (prints "in" or "out")
// In: on the NT family the modem and network driver services (registered with the service manager
// at the card's first arrival, as the drivers' installation does) with their Enum keys, "Count" 1,
// and the device records a removal walks; on the 9x family the PC-card record; on both the
// simulator's key (simulated_card.h). Out: what vanishes when the drivers unload; device records
// and services stay.
#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <initializer_list>

#include "device/card_driver_contract.h"
#include "res/resource.h"
#include "sys/module_instance.h"
#include "sys/os_version.h"
#include "tests/substitutes/simulated_card.h"

using namespace card_driver;
char model[kTextBufferSize], deviceId[kTextBufferSize], modem[kTextBufferSize];

// The function driver's service, as the card's first arrival installs it; one that exists stays.
void RegisterService(const char* name) {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  char image[MAX_PATH];
  snprintf(image, sizeof image, "System32\\drivers\\%s.sys", name);
  SC_HANDLE service = manager ? CreateServiceA(manager, name, name, SERVICE_ALL_ACCESS, SERVICE_KERNEL_DRIVER,
      SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, image, nullptr, nullptr, nullptr, nullptr, nullptr) : nullptr;
  if (service) CloseServiceHandle(service);
  if (manager) CloseServiceHandle(manager);
}

void SetText(const char* key, const char* name, const char* text) { SHSetValueA(HKEY_LOCAL_MACHINE, key, name, REG_SZ, text, strlen(text) + 1); }

void Traces(bool in) {
  const char* records[][5] = {  // tree, its argument, instance, class, class GUID
      {kPcCardTree, deviceId, "0", "MultiFunction", "{4D36E971-E325-11CE-BFC1-08002BE10318}"},
      {kMultifunctionTree, deviceId, "0", "Modem", "{4D36E96D-E325-11CE-BFC1-08002BE10318}"},
      {kMultifunctionTree, deviceId, "1", "Net", "{4D36E972-E325-11CE-BFC1-08002BE10318}"},
      {kLegacyManagementTree, model, "\\0000", "LegacyDriver", "{8ECC055D-047F-11D1-A537-0000F8753ED1}"},
      {kLegacyControlTree, model, "\\0000", "LegacyDriver", "{8ECC055D-047F-11D1-A537-0000F8753ED1}"}};
  char key[MAX_PATH], tree[MAX_PATH], driver[64];
  for (int i = 0; in && i < (IsWinNT() ? 5 : 1); ++i) {
    snprintf(tree, sizeof tree, records[i][0], records[i][1]);
    snprintf(key, sizeof key, "%sEnum\\%s%s", IsWinNT() ? "SYSTEM\\CurrentControlSet\\" : "", tree, records[i][2]);
    SetText(key, kClassValue, records[i][3]);
    SetText(key, kClassGuidValue, records[i][4]);
    snprintf(driver, sizeof driver, "%s\\%04d", records[i][4], i);
    SetText(key, kDriverValue, driver);
  }
  const DWORD one = 1;
  for (const char* format : {kModemService, kNetworkService}) {
    snprintf(key, sizeof key, format, model);
    if (in && IsWinNT()) RegisterService(key);
  }
  for (const char* format : {kModemEnumKey, kNetworkEnumKey}) {
    snprintf(key, sizeof key, format, model);
    if (!in) SHDeleteKeyA(HKEY_LOCAL_MACHINE, key);
    if (in && IsWinNT()) SHSetValueA(HKEY_LOCAL_MACHINE, key, kEnumCountValue, REG_DWORD, &one, 4);
  }
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, kSimulatorKey);
  if (in) SetText(kSimulatorKey, "GsmModem", modem);
  char parent[MAX_PATH];  // the card's functions are the children of its PC-card node
  snprintf(parent, sizeof parent, kPcCardInstanceFormat, deviceId, 0);
  snprintf(tree, sizeof tree, kMultifunctionTree, deviceId);
  const std::string children = tree + std::string("0") + '\0' + tree + "1" + '\0' + '\0';
  if (in && IsWinNT()) SHSetValueA(HKEY_LOCAL_MACHINE, kSimulatorChildrenKey, parent, REG_MULTI_SZ, children.data(), children.size());
}

int main(int argc, char** argv) {
  instanceHandle = GetModuleHandleA(nullptr);
  LoadText(IDS_MODEL_NAME, model);
  LoadText(IDS_CARD_DEVICE_ID, deviceId);
  snprintf(modem, sizeof modem, kGsmModemName, model);
  if (argc > 2) Sleep(static_cast<DWORD>(atoi(argv[2])));
  if (argc < 2) return 2;
  if (strcmp(argv[1], "state") != 0) return Traces(strcmp(argv[1], "insert") == 0), 0;
  const bool in = SHGetValueA(HKEY_LOCAL_MACHINE, kSimulatorKey, "GsmModem", nullptr, nullptr, nullptr) == 0;
  puts(in ? "in" : "out");
  return in ? 1 : 0;
}
