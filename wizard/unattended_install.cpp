#include "core/bounded_string.h"
#include "device/restart.h"
#include "device/service_control.h"
#include "res/resource.h"
#include "sys/folder_probe.h"
#include "sys/globals.h"
#include "sys/switch_messages.h"
#include "wizard/install_flow.h"
#include "wizard/install_record.h"
#include "wizard/install_run.h"
#include "wizard/unattended_flows.h"
#include "wizard/unattended_work.h"

namespace {

// Whether this setup on this machine offers the components, as the Setup type and Components
// pages offer them: the administrator page with its module in the payload, the smart card
// driver with its files and the system's smart card service. Names the first one that is not.
const char* ComponentNotOffered(ComponentSet components) {
  if ((components & kComponentAdmin) && payloadArchive.CountMatches(kAdminModuleEntry) == 0) {
    return "Admin";
  }
  if ((components & kComponentSC) &&
      (payloadArchive.CountMatches(kSmartCardEntries) == 0 || !SmartCardServicePresent())) {
    return "SC";
  }
  return nullptr;
}

}  // namespace

int TakeInstallChoices(const SetupSwitches& switches, int* exitCode) {
  CopyText(setupContext.targetFolder, sizeof setupContext.targetFolder, switches.targetFolder);
  setupContext.UseDefaultTargetFolder();
  setupType = switches.setupType ? switches.setupType : kSetupTypical;
  selectedComponents = switches.components ? switches.components : kTypicalComponents;
  if (const char* component = ComponentNotOffered(selectedComponents)) {
    *exitCode = RefuseRun(IDS_COMPONENT_NOT_OFFERED, component);
    return 0;
  }
  // As the Folder page tests a chosen folder; neither probe leaves anything behind.
  if (!CanCreateFolder(setupContext.targetFolder) || !CanWriteToFolder(setupContext.targetFolder)) {
    *exitCode = RefuseRun(IDS_FOLDER_NOT_USABLE, setupContext.targetFolder);
    return 0;
  }
  return 1;
}

int RunUnattendedInstall(const SetupSwitches& switches) {
  const UnattendedWork work = {IDD_INSTALLING, InstallingPage, InstallWorker, &installThread};
  if (const int failed = RunUnattendedWork(switches.visibility, work)) return failed;
  if (!InstallNeedsRestart()) {
    ScheduleCloneDeletion();
    return kExitDone;
  }
  // What the restart finish page writes when the wizard ends, then its restart, which comes
  // last: the system may end other programs at once.
  WriteTargetFolder(setupContext.targetFolder);
  WriteInstalledComponents(selectedComponents);
  ScheduleCloneDeletion();
  RegisterProductUninstall();
  if (!switches.noRestart) RestartMachine();
  return kExitRestartNeeded;
}
