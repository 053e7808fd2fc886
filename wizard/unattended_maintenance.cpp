#include <shlwapi.h>

#include "core/bounded_string.h"
#include "device/registry_cleanup.h"
#include "res/resource.h"
#include "script/uninstall_script.h"
#include "sys/clone.h"
#include "sys/globals.h"
#include "sys/module_instance.h"
#include "sys/switch_messages.h"
#include "sys/uninstall_registration.h"
#include "wizard/install_flow.h"
#include "wizard/install_record.h"
#include "wizard/install_run.h"
#include "wizard/maintenance_flow.h"
#include "wizard/unattended_flows.h"
#include "wizard/unattended_work.h"

namespace {

constexpr char kInstallScript[] = "Setup.cnf";

// The recorded installation, as the maintenance welcome pages read it.
void ReadInstallation() {
  selectedComponents = ReadInstalledComponents();
  newComponents = selectedComponents;
  char folder[MAX_PATH];
  ReadTargetFolder(folder);
  CopyText(setupContext.targetFolder, sizeof setupContext.targetFolder, folder);
}

// What the Uninstall finish page does when it is shown and when the wizard ends.
void FinishUninstall() {
  RemoveDriverFiles();
  char product[kTextBufferSize];
  LoadText(IDS_PRODUCT_NAME, product);
  UnregisterUninstall(product);
  ScheduleCloneDeletion();
}

// The uninstaller that started the run waits for it and holds its file, which the work replaces
// or removes: it is moved aside first. Only this installation's uninstaller is moved; a file
// elsewhere is not the run's to touch.
void MoveUninstallerAside(const char* startedUninstaller) {
  if (!startedUninstaller) return;
  char folder[MAX_PATH];
  CopyText(folder, sizeof folder, startedUninstaller);
  PathRemoveFileSpecA(folder);
  if (EqualsNoCase(folder, setupContext.targetFolder)) MoveStartedFileAside(startedUninstaller);
}

}  // namespace

int RunUnattendedUpdate(const SetupSwitches& switches, const char* startedUninstaller) {
  // As the choice page: without the install script nothing can be reinstalled.
  if (!setupContext.LoadScript(kInstallScript)) return RefuseRun(IDS_SCRIPT_NOT_FOUND, "");
  ReadInstallation();
  updateComponents = switches.updateComponents;
  // As the options page: the profiles can be updated only when some were collected.
  updateProfiles = setupContext.nwpProfiles.Count() > 0 ? switches.updateProfiles : 0;
  if (!updateComponents && !updateProfiles) return RefuseRun(IDS_NOTHING_TO_UPDATE, "");
  if (updateComponents) {
    // As the summary page: what the running payload cannot install again is not reinstalled.
    if (payloadArchive.CountMatches(kAdminModuleEntry) == 0) selectedComponents &= ~kComponentAdmin;
    if (!PayloadHasSmartCardFiles()) selectedComponents &= ~kComponentSC;
    newComponents = selectedComponents;
  }
  // Only a components update removes and reinstalls the uninstaller; the profiles alone leave
  // it where the installed-programs entry points.
  if (updateComponents) MoveUninstallerAside(startedUninstaller);
  const UnattendedWork work = {IDD_UPDATING, UpdatingPage, UpdateWorker, &updateThread};
  if (const int failed = RunUnattendedWork(switches.visibility, work)) return failed;
  ScheduleCloneDeletion();
  return kExitDone;
}

int RunUnattendedUninstall(const SetupSwitches& switches, const char* startedUninstaller) {
  ReadInstallation();
  char script[MAX_PATH];
  CopyText(script, sizeof script, setupContext.targetFolder);
  // As the welcome page: without Remove.cnf there is nothing to remove but the product's entry.
  if (!PathAppendA(script, kUninstallScriptName) || !setupContext.LoadScript(script)) {
    FinishUninstall();
    return kExitDone;
  }
  keepSettings = switches.keepSettings;
  keepSmsData = switches.keepSmsData;
  MoveUninstallerAside(startedUninstaller);
  const UnattendedWork work = {IDD_UNINSTALLING, UninstallingPage, UninstallWorker, &uninstallThread};
  if (const int failed = RunUnattendedWork(switches.visibility, work)) return failed;
  FinishUninstall();
  return kExitDone;
}
