// The Modify worker: the old installation goes by its Remove.cnf and the new component set is
// installed from Setup.cnf, between a stop and a start of the card stack. It reports nothing;
// the script runs report missing payload files themselves.
#include <shlwapi.h>

#include "core/bounded_string.h"
#include "device/driver_steps.h"
#include "script/uninstall_script.h"
#include "sys/globals.h"
#include "wizard/install_record.h"
#include "wizard/install_run.h"
#include "wizard/maintenance_flow.h"
#include "wizard/wizard_messages.h"
#include "script/payload_check.h"

DWORD WINAPI ModifyWorker(LPVOID parameter) {
  HWND page = parameter ? *static_cast<HWND*>(parameter) : nullptr;
  // Setup.cnf is loaded afresh (the Uninstall pages, visited before, load Remove.cnf): a
  // damaged payload ends the run before any change.
  if (setupContext.LoadScript("Setup.cnf") && !PayloadSoundForRun(page, newComponents, nullptr)) {
    if (page) PostMessageA(page, kMsgWorkDone, kPayloadDamagedExitCode, 0);
    return 0;
  }
  DeleteProductKey(0);
  StopCardStack(page);
  payloadArchive.flags |= OverwriteExisting;
  char uninstallScript[MAX_PATH];
  CopyText(uninstallScript, sizeof uninstallScript, setupContext.targetFolder);
  if (PathAppendA(uninstallScript, kUninstallScriptName)) {
    setupContext.ReplaceInstallation(page, uninstallScript, newComponents, "Setup.cnf", 1);
  }
  StartCardStack(page, newComponents);
  WriteInstalledComponents(newComponents);
  RecordProductDataPattern();
  if (page) PostMessageA(page, kMsgWorkDone, 0, 0);
  return 0;
}
