// The card stack stopped before the install script runs: nothing may hold the card or its
// drivers while their files are replaced.
#include "device/card_check.h"
#include "device/card_dialogs.h"
#include "device/card_driver_contract.h"
#include "device/control_program.h"
#include "device/device_steps.h"
#include "device/driver_steps.h"
#include "device/product_apps.h"
#include "sys/globals.h"
#include "sys/setup_log.h"

void StopCardStack(HWND owner) {
  LogAction("Card stack: stopping");
  setupContext.RunningApps = 0;
  for (const ProductApp app : kProductApps) {
    if (IsAppRunning(app)) {
      setupContext.RunningApps |= app;
      CloseApp(app);
    }
  }
  TellControlProgram(card_driver::kControlRelease);
  StopDevices(owner);
  int32_t error = 0;
  if (!IsCardGone(CheckCard(&error))) {
    // Without a page to own it the question cannot be asked; the devices are stopped again all
    // the same, as the card's functions may have come back while the first stop ran.
    if (owner != nullptr) ShowRemoveCardDialog(owner);
    StopDevices(owner);
  }
  FlushSetupLog();
}
