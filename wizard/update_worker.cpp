// The Update worker: the installed set is reinstalled from Setup.cnf when the components are
// updated, and the collected profile texts are applied when the profiles are. The installation
// record stays as it was.
#include <shlwapi.h>

#include "core/bounded_string.h"
#include "device/driver_steps.h"
#include "script/uninstall_script.h"
#include "sys/globals.h"
#include "wizard/install_flow.h"
#include "wizard/install_run.h"
#include "wizard/maintenance_flow.h"
#include "wizard/wizard_messages.h"
#include "script/payload_check.h"

DWORD WINAPI UpdateWorker(LPVOID parameter) {
  HWND page = parameter ? *static_cast<HWND*>(parameter) : nullptr;
  // Setup.cnf is loaded afresh (the Uninstall pages, visited before, load Remove.cnf): a
  // damaged payload ends the run before any change.
  if (updateComponents && setupContext.LoadScript("Setup.cnf") &&
      !PayloadSoundForRun(page, selectedComponents, nullptr)) {
    if (page) PostMessageA(page, kMsgWorkDone, kPayloadDamagedExitCode, 0);
    return 0;
  }
  StopCardStack(page);
  if (updateComponents) {
    DeleteProductKey(0);
    payloadArchive.flags |= OverwriteExisting;
    char uninstallScript[MAX_PATH];
    CopyText(uninstallScript, sizeof uninstallScript, setupContext.targetFolder);
    if (PathAppendA(uninstallScript, kUninstallScriptName)) {
      setupContext.ReplaceInstallation(page, uninstallScript, selectedComponents, "Setup.cnf",
                                       static_cast<int>(updateProfiles));
    }
  }
  // With both choices the script run has applied the profiles already; they are applied again
  // here, which writes the same values.
  if (updateProfiles) {
    setupContext.ApplyProfileTexts(setupContext.nwpProfiles);
    setupContext.ApplyProfileTexts(setupContext.nwkProfiles);
  }
  StartCardStack(page, selectedComponents);
  RecordProductDataPattern();
  if (page) PostMessageA(page, kMsgWorkDone, 0, 0);
  return 0;
}
