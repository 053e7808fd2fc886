// The card stack started again after the install script: the drivers, the control program,
// the devices, the card itself and the applications the stop step closed.
#include "device/card_check.h"
#include "device/card_dialogs.h"
#include "device/card_driver_contract.h"
#include "device/control_program.h"
#include "device/device_steps.h"
#include "device/driver_steps.h"
#include "device/model_text.h"
#include "device/product_apps.h"
#include "device/service_control.h"
#include "sys/globals.h"
#include "sys/module_instance.h"
#include "sys/os_version.h"
#include "sys/setup_log.h"

void StartCardStack(HWND owner, ComponentSet mask) {
  LogAction("Card stack: starting");
  // An incomplete registration with nobody to ask is repaired by installing the drivers
  // afresh, for the components the caller starts the stack for.
  if (!CardRegistrationComplete() && owner == nullptr) {
    RemoveCardStack(nullptr);
    InstallDriverStep(mask);
  }
  char management[kTextBufferSize];
  if (IsWinNT() &&
      FormatWithModel(card_driver::kManagementService, management, sizeof management)) {
    StartServiceAndWait(management);
  }
  TellControlProgram(card_driver::kControlTake);
  if (mask & kComponentDriver) {
    StartDevices(owner);
    int32_t error = 0;
    if (!IsCardActive(CheckCard(&error)) && owner != nullptr) ShowInsertCardDialog(owner);
  }
  for (const ProductApp app : kProductApps) {
    if (setupContext.RunningApps & app) LaunchApp(app);
  }
  FlushSetupLog();
}
