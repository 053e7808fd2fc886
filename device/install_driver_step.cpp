// The drivers made live after the install script copied their files: the NT family registers
// and starts the management driver, the 9x family rebuilds its driver index and installs the
// smart card reader support when that component was chosen.
#include <shlwapi.h>

#include "core/bounded_string.h"
#include "device/card_driver_contract.h"
#include "device/driver_steps.h"
#include "device/model_text.h"
#include "device/service_control.h"
#include "sys/globals.h"
#include "sys/module_instance.h"
#include "sys/os_version.h"
#include "sys/process_launch.h"
#include "sys/setup_log.h"

int CreateManagementService() {
  char name[kTextBufferSize];
  char displayName[kTextBufferSize];
  char driverFile[MAX_PATH];
  if (!FormatWithModel(card_driver::kManagementService, name, sizeof name) ||
      !FormatWithModel(card_driver::kManagementServiceDisplayName, displayName,
                       sizeof displayName) ||
      !FormatWithModel(card_driver::kManagementDriverFile, driverFile, sizeof driverFile)) {
    return 0;
  }
  const SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (manager == nullptr) return 0;
  // The driver file stays relative, as the boot loader resolves it against the system root.
  const SC_HANDLE service = CreateServiceA(
      manager, name, displayName, SERVICE_ALL_ACCESS, card_driver::kManagementServiceType,
      card_driver::kManagementServiceStart, card_driver::kManagementServiceErrorControl,
      driverFile, card_driver::kManagementServiceGroup, nullptr, "\0", nullptr, nullptr);
  if (service != nullptr) CloseServiceHandle(service);
  CloseServiceHandle(manager);
  LogAction(service != nullptr ? "Service created: %s" : "Service not created: %s", name);
  return service != nullptr ? 1 : 0;
}

void BuildDriverIndex() {
  char host[MAX_PATH];
  if (CopyText(host, sizeof host, setupContext.windowsFolder) &&
      PathAppendA(host, card_driver::kDriverIndexHost)) {
    LaunchProcess(host, card_driver::kDriverIndexCommand, SW_SHOWNORMAL);
  }
}

void InstallDriverStep(ComponentSet selection) {
  LogAction("Driver step");
  if (IsWinNT()) {
    CreateManagementService();
    char name[kTextBufferSize];
    if (FormatWithModel(card_driver::kManagementService, name, sizeof name)) {
      StartServiceAndWait(name);
    }
  } else if (IsWin9x()) {
    BuildDriverIndex();
    if (selection & kComponentSC) InstallSmartCardSupport();
  }
  FlushSetupLog();
}
