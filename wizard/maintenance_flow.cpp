#include "wizard/maintenance_flow.h"

#include <shlwapi.h>

#include "core/bounded_string.h"
#include "device/model_text.h"
#include "res/resource.h"
#include "sys/globals.h"
#include "sys/module_instance.h"
#include "sys/run_once.h"
#include "wizard/wizard_frame.h"
#include "sys/registry_log.h"

int scriptLoaded = 0;
ComponentSet newComponents = 0;
uint32_t updateComponents = 1;
uint32_t updateProfiles = 1;
uint32_t keepSettings = 1;
uint32_t keepSmsData = 1;

namespace {

constexpr char kSmartCardPattern[] = "*%sSC.*";
constexpr char kProductKeyFormat[] = "Software\\Xelta\\%s";
constexpr char kDiagnosticsKeyFormat[] = "Software\\Xelta\\%s\\Diagnostics";

}  // namespace

int PayloadHasSmartCardFiles() {
  char pattern[MAX_PATH];
  if (!FormatWithModel(kSmartCardPattern, pattern, sizeof pattern)) return 0;
  return payloadArchive.CountMatches(pattern) > 0;
}

void RunMaintenanceFlow() {
  wizardFrame.AddPage(IDD_MAINTENANCE_CHOICE, MaintenanceChoicePage);
  wizardFrame.Run();
}

void AppendModifyPages() {
  wizardFrame.AddPage(IDD_MODIFY_WELCOME, ModifyWelcomePage);
  wizardFrame.AddPage(IDD_MODIFY_COMPONENTS, ModifyComponentsPage);
  wizardFrame.AddPage(IDD_MODIFY_SUMMARY, ModifySummaryPage);
  wizardFrame.AddPage(IDD_MODIFYING, ModifyingPage);
  wizardFrame.AddPage(IDD_MODIFY_FINISH, ModifyFinishPage);
}

void AppendUpdatePages() {
  wizardFrame.AddPage(IDD_UPDATE_WELCOME, UpdateWelcomePage);
  wizardFrame.AddPage(IDD_UPDATE_OPTIONS, UpdateOptionsPage);
  wizardFrame.AddPage(IDD_UPDATE_SUMMARY, UpdateSummaryPage);
  wizardFrame.AddPage(IDD_UPDATING, UpdatingPage);
  wizardFrame.AddPage(IDD_UPDATE_FINISH, UpdateFinishPage);
}

void AppendUninstallPages() {
  wizardFrame.AddPage(IDD_UNINSTALL_WELCOME, UninstallWelcomePage);
  wizardFrame.AddPage(IDD_UNINSTALL_SUMMARY, UninstallSummaryPage);
  wizardFrame.AddPage(IDD_UNINSTALLING, UninstallingPage);
  wizardFrame.AddPage(IDD_UNINSTALL_FINISH, UninstallFinishPage);
}

void DeleteProductKey(int wholeProductKey) {
  char key[MAX_PATH];
  if (!FormatWithModel(wholeProductKey ? kProductKeyFormat : kDiagnosticsKeyFormat, key,
                       sizeof key)) {
    return;
  }
  DeleteRegistryKey(HKEY_LOCAL_MACHINE, key);
}


