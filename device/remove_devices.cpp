// Removal of the card's devices and driver services, then of the system's registry traces of
// them, and the whole removal of the card stack that the uninstall runs.
#include "device/card_driver_contract.h"
#include "device/device_progress.h"
#include "device/device_steps.h"
#include "device/driver_steps.h"
#include "device/gprs_entry.h"
#include "device/model_text.h"
#include "device/registry_cleanup.h"
#include "device/service_control.h"
#include "res/resource.h"
#include "sys/module_instance.h"
#include "sys/os_version.h"
#include "sys/setup_log.h"

namespace {

// The device trees in the order they go: the management driver's legacy node, the card's
// functions, the card itself, the control program's legacy node.
struct DeviceTree {
  const char* format;
  bool byDeviceId;  // else the model name
};
constexpr DeviceTree kDeviceTrees[] = {
    {card_driver::kLegacyManagementTree, false},
    {card_driver::kMultifunctionTree, true},
    {card_driver::kPcCardTree, true},
    {card_driver::kLegacyControlTree, false},
};

constexpr const char* kFunctionServices[] = {
    card_driver::kModemService, card_driver::kNetworkService, card_driver::kSmartCardService};

void DeleteService(const char* format) {
  char service[kTextBufferSize];
  if (FormatWithModel(format, service, sizeof service)) DeleteStoppedService(service);
}

void RemoveNtDevices() {
  char deviceId[kTextBufferSize];
  if (LoadText(IDS_CARD_DEVICE_ID, deviceId) == 0) return;
  char management[kTextBufferSize];
  if (FormatWithModel(card_driver::kManagementService, management, sizeof management)) {
    StopServiceAndWait(management);
    DeleteStoppedService(management);
  }
  for (const DeviceTree& tree : kDeviceTrees) {
    char id[kTextBufferSize];
    const int formatted = tree.byDeviceId ? FormatWithDeviceId(tree.format, id, sizeof id)
                                          : FormatWithModel(tree.format, id, sizeof id);
    if (formatted) RemoveDeviceTree(id, 1);
  }
  for (const char* service : kFunctionServices) DeleteService(service);
}

}  // namespace

void RemoveDevices(HWND owner) {
  LogAction("Devices: removing");
  ReportDeviceStep(owner, IDS_ACTION_REMOVING);
  if (IsWinNT()) {
    RemoveNtDevices();
    CleanRegistryNT();
  } else if (IsWin9x()) {
    Remove9xDevices();
    CleanRegistry9x();
  }
  ReportDeviceStepDone(owner);
  FlushSetupLog();
}

void RemoveCardStack(HWND owner) {
  StopCardStack(owner);
  RemoveDevices(owner);
  DeleteGprsEntry();
}
