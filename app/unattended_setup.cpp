#include "app/unattended_setup.h"

#include "res/resource.h"
#include "sys/globals.h"
#include "sys/switch_messages.h"
#include "wizard/install_record.h"
#include "wizard/unattended_flows.h"

namespace {
constexpr char kInstallScript[] = "Setup.cnf";
}

int CheckUnattendedRun(const SetupSwitches& switches, int* exitCode) {
  const bool installed = IsProductInstalled() != 0;
  if (switches.update || switches.uninstall) {
    if (installed) return 1;
    *exitCode = RefuseRun(IDS_NOT_INSTALLED, "");
    return 0;
  }
  // Installing over an installation is what the maintenance flows are for; a silent install
  // does not guess which of them the administrator meant.
  if (installed) {
    *exitCode = RefuseRun(IDS_ALREADY_INSTALLED, "");
    return 0;
  }
  return TakeInstallChoices(switches, exitCode);
}

int RunUnattended(const SetupSwitches& switches, const char* startedUninstaller) {
  int exitCode = kExitFailed;
  if (!CheckUnattendedRun(switches, &exitCode)) return exitCode;
  if (switches.update) return RunUnattendedUpdate(switches, startedUninstaller);
  if (switches.uninstall) return RunUnattendedUninstall(switches, startedUninstaller);
  if (!setupContext.LoadScript(kInstallScript)) return RefuseRun(IDS_SCRIPT_NOT_FOUND, "");
  return RunUnattendedInstall(switches);
}
