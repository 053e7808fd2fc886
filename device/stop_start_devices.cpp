// Stop and start of the card's instances around the driver steps. Only the first instance
// that answers is switched: the card has one, and the numbers above it are tried only for a
// card that the system enumerated again under a new number.
#include "device/card_driver_contract.h"
#include "device/card_names.h"
#include "device/device_install_api.h"
#include "device/device_progress.h"
#include "device/device_steps.h"
#include "device/model_text.h"
#include "device/service_control.h"
#include "res/resource.h"
#include "sys/module_instance.h"
#include "sys/os_version.h"

namespace {

// Switches the first instance that the family's switch accepts; 1 when one did.
int SwitchFirstInstance(bool start) {
  for (int instance = 0; instance < card_driver::kPcCardInstanceCount; ++instance) {
    char id[kTextBufferSize];
    if (!FormatPcCardInstance(instance, id, sizeof id)) return 0;
    int switched = 0;
    if (IsWin9x()) {
      switched = start ? EnableDevNode(id) : DisableDevNode(id);
    } else if (IsWinNT()) {
      switched = ChangeDeviceState(id, start ? DICS_START : DICS_STOP);
    }
    if (switched) return 1;
  }
  return 0;
}

void ManagementService(int (*operation)(const char*)) {
  char service[kTextBufferSize];
  if (FormatWithModel(card_driver::kManagementService, service, sizeof service)) {
    operation(service);
  }
}

}  // namespace

int StopDevices(HWND owner) {
  ReportDeviceStep(owner, IDS_ACTION_STOPPING);
  const int stopped = SwitchFirstInstance(false);
  if (IsWinNT()) ManagementService(StopServiceAndWait);
  ReportDeviceStepDone(owner);
  return stopped;
}

int StartDevices(HWND owner) {
  ReportDeviceStep(owner, IDS_ACTION_STARTING);
  if (IsWinNT()) ManagementService(StartServiceAndWait);
  const int started = SwitchFirstInstance(true);
  ReportDeviceStepDone(owner);
  return started;
}
