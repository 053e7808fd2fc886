// The install worker: everything the Installing page does away from the user-interface thread.
// It has no failure path of its own: each step goes on after a failing one, the script reports
// its own failures, the card steps are silent.
#include "core/bounded_string.h"
#include "device/driver_steps.h"
#include "res/resource.h"
#include "script/registry_import.h"
#include "sys/delete_files.h"
#include "sys/globals.h"
#include "sys/module_instance.h"
#include "sys/run_once.h"
#include "sys/uninstall_registration.h"
#include "wizard/install_flow.h"
#include "wizard/install_record.h"
#include "wizard/install_run.h"
#include "wizard/wizard_messages.h"
#include "script/payload_check.h"

#include <shlwapi.h>

namespace {

constexpr char kGeneralSettingsEntry[] = "GeneralSettings.reg";
// The registry text is unpacked under this name in the temporary folder, and deleted after.
constexpr char kGeneralSettingsTempName[] = "License.txt";
constexpr char kUninstallProgram[] = "UNINSTALL.EXE";
// Every file of this pattern that the product makes in its folder goes with the uninstall.
constexpr char kProductDataPattern[] = "*.z6?";

void ApplyGeneralSettings() {
  if (payloadArchive.CountMatches(kGeneralSettingsEntry) == 0) return;
  char path[MAX_PATH];
  CopyText(path, sizeof path, setupContext.tempFolder);
  if (!PathAppendA(path, kGeneralSettingsTempName)) return;
  DeleteFiles(path);
  payloadArchive.ExtractEntry(kGeneralSettingsEntry, path);
  ImportRegistryFile(path);
  DeleteFiles(path);
}


}  // namespace

void RegisterProductUninstall() {
  char product[kTextBufferSize];
  LoadText(IDS_PRODUCT_NAME, product);
  char command[MAX_PATH];
  CopyText(command, sizeof command, setupContext.targetFolder);
  if (!PathAppendA(command, kUninstallProgram)) return;
  RegisterUninstall(product, product, command);
}

void RecordProductDataPattern() {
  char line[MAX_PATH + 1] = ",";
  char pattern[MAX_PATH];
  CopyText(pattern, sizeof pattern, setupContext.targetFolder);
  if (!PathAppendA(pattern, kProductDataPattern)) return;
  AppendText(line, sizeof line, pattern);
  setupContext.AppendUninstallRecord("AddFile", line, 0);
}

void ScheduleCloneDeletion() {
  char product[kTextBufferSize];
  LoadText(IDS_PRODUCT_NAME, product);
  SetRunOnce(product, setupContext.deleteCloneCommand);
}

DWORD WINAPI InstallWorker(LPVOID parameter) {
  HWND page = parameter ? *static_cast<HWND*>(parameter) : nullptr;
  payloadArchive.Open("");
  // A damaged payload ends the run here, before its first change.
  if (!PayloadSoundForRun(page, selectedComponents, kGeneralSettingsEntry)) {
    if (page) PostMessageA(page, kMsgWorkDone, kPayloadDamagedExitCode, 0);
    return 0;
  }
  ApplyGeneralSettings();
  RegisterProductUninstall();
  WriteTargetFolder(setupContext.targetFolder);
  WriteInstalledComponents(selectedComponents);
  StopCardStack(page);
  // Files of an earlier installation are replaced, and the script's own edits (INI sections,
  // registry files) unpack over files that exist.
  payloadArchive.flags |= OverwriteExisting;
  setupContext.RunScript(page, selectedComponents, 1);
  InstallDriverStep(selectedComponents);
  StartCardStack(page, selectedComponents);
  RecordProductDataPattern();
  if (page) PostMessageA(page, kMsgWorkDone, 0, 0);
  return 0;
}
