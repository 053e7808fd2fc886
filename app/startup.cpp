#include "app/startup.h"

#include <commctrl.h>
#include <shlwapi.h>

#include "sys/globals.h"
#include "sys/os_version.h"
#include "app/unattended_setup.h"
#include "app/user_rights.h"
#include "core/bounded_string.h"
#include "device/profile_collection.h"
#include "res/resource.h"
#include "sys/clone.h"
#include "sys/delete_files.h"
#include "sys/module_instance.h"
#include "sys/setup_log.h"
#include "sys/setup_message.h"
#include "sys/switch_messages.h"
#include "wizard/install_flow.h"
#include "wizard/install_record.h"
#include "wizard/maintenance_flow.h"
#include "wizard/page_skin.h"
#include "wizard/text_view.h"
#include "wizard/wizard_frame.h"

namespace {

const char kInstallMutexName[] = "Z614InstallMutex";
const char kClonedSwitch[] = "Cloned";
const char kClonedUninstallSwitch[] = "ClonedUninstall";
const char kInstallScript[] = "Setup.cnf";
// In the order they are fetched and deleted.
const char* const kPagePictures[] = {"Watermark.bmp", "WatermarkInterior.bmp"};

enum class StartMode { Launcher, Cloned, ClonedUninstall };

// The operating-system gate and, on the NT family, the rights gate. Each refusal shows its
// message with no owner window.
bool PassGates() {
  if (!(IsWin98SE() || IsWinME() || IsWin2000() || IsWinXP())) {
    ShowProductMessage(IDS_UNSUPPORTED_OS);
    return false;
  }
  if (IsWinNT() && !IsUserAdministrator()) {
    ShowProductMessage(IDS_NOT_ADMINISTRATOR);
    return false;
  }
  return true;
}

// "Cloned" is looked for first, so a command line with both switches runs as Cloned. The
// switch's value is the path of the file the user started.
StartMode ReadStartMode(char* startedFile, size_t startedFileSize) {
  startedFile[0] = '\0';
  if (commandLine.FindSwitch(kClonedSwitch) >= 0) {
    commandLine.GetSwitchValue(kClonedSwitch, 1, startedFile, startedFileSize, "");
    return StartMode::Cloned;
  }
  if (commandLine.FindSwitch(kClonedUninstallSwitch) >= 0) {
    commandLine.GetSwitchValue(kClonedUninstallSwitch, 1, startedFile, startedFileSize, "");
    return StartMode::ClonedUninstall;
  }
  return StartMode::Launcher;
}

// Script macros name the folder the user started the setup from, not the temporary folder
// of the running copy.
void TakeSourceFolder(char* startedFile) {
  PathRemoveFileSpecA(startedFile);
  CopyText(setupContext.sourceFolder, sizeof setupContext.sourceFolder, startedFile);
}

// The command that deletes this copy once it no longer runs. The path goes in unquoted.
void PrepareSelfDelete() {
  char running[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, running, sizeof running);
  const char* format = nullptr;
  if (IsWin9x()) {
    format = "command.com /c del %s";
  } else if (IsWinNT()) {
    format = "cmd.exe /c del %s";
  }
  setupContext.deleteCloneCommand[0] = '\0';
  if (format) {
    snprintf(setupContext.deleteCloneCommand, sizeof setupContext.deleteCloneCommand, format,
             running);
  }
}

// Only one wizard copy runs on the machine; a second one ends silently.
bool TakeInstallMutex() {
  SetLastError(0);
  installMutex = CreateMutexA(nullptr, TRUE, kInstallMutexName);
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(installMutex);
    installMutex = nullptr;
    return false;
  }
  return true;
}

// The common controls the pages use, the text view's class, and the page pictures. A picture
// beside the started file replaces the packed one; the copies in the temporary folder are only
// needed until the skin has loaded them.
void PrepareWizard() {
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof controls;
  controls.dwICC = 0xFF;  // list view, tree view, bar, tab, up-down, progress, hot key, animation
  InitCommonControlsEx(&controls);
  RegisterShowControl(instanceHandle);
  wizardFrame.SetInstance(instanceHandle);

  for (const char* name : kPagePictures) {
    char destination[MAX_PATH];
    CopyText(destination, sizeof destination, setupContext.tempFolder);
    if (AppendText(destination, sizeof destination, name)) {
      setupContext.FetchScriptFile(name, destination);
    }
  }
  pageSkin.LoadBitmaps(setupContext.tempFolder);
  for (const char* name : kPagePictures) {
    char path[MAX_PATH];
    CopyText(path, sizeof path, setupContext.tempFolder);
    if (AppendText(path, sizeof path, name)) DeleteFiles(path);
  }
}

// A page that ended the wizard with PostQuitMessage (the maintenance choice without its
// script) leaves its exit code in the quit message the frame's loop put back.
int PendingQuitCode() {
  MSG quit;
  if (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return static_cast<int>(quit.wParam);
  return 0;
}

void ReleaseInstallMutex() {
  if (!installMutex) return;
  ReleaseMutex(installMutex);
  CloseHandle(installMutex);
  installMutex = nullptr;
}

// The log named by /Log, opened by the started process and by its copy alike, so the log
// holds the copy's making as well as the run.
void OpenLogOfSwitches(const SetupSwitches& switches, const char* commandLineText) {
  if (!switches.logFile[0] || !OpenSetupLog(switches.logFile)) return;
  char running[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, running, sizeof running);
  LogAction("Setup started: %s %s", running, commandLineText ? commandLineText : "");
}

int RunStartedSetup(const char* commandLineText, const SetupSwitches& switches, int switchesSound) {
  const bool unattended = IsUnattendedRun(switches);
  // An unattended run's gate refusals went to the log; its exit code says that it failed.
  if (!PassGates()) return unattended ? kExitFailed : 0;
  if (switches.showUsage) {
    ShowUsage();
    return 0;
  }
  if (!switchesSound) return RefuseSwitches(switches);

  char startedFile[MAX_PATH];
  const StartMode mode = ReadStartMode(startedFile, sizeof startedFile);
  if (mode == StartMode::Launcher) {
    if (!unattended) {
      CloneAndRestart(commandLineText, 0);
      return 0;
    }
    // A run that cannot go as asked is refused before the copy is made, so it leaves nothing
    // behind; otherwise this process ends with the copy's exit code.
    payloadArchive.Open("");
    int exitCode = kExitFailed;
    if (!CheckUnattendedRun(switches, &exitCode)) return exitCode;
    FlushSetupLog();  // the copy appends to the same log while this process waits
    return CloneAndRestart(commandLineText, 1);
  }

  char startedUninstaller[MAX_PATH];
  CopyText(startedUninstaller, sizeof startedUninstaller, startedFile);
  TakeSourceFolder(startedFile);
  PrepareSelfDelete();
  if (!TakeInstallMutex()) {
    // The running wizard is not told; an administrator's run says why it did nothing.
    return unattended ? RefuseRun(IDS_SETUP_RUNNING, "") : 0;
  }

  // A failed open has shown its own message; start-up goes on with an empty archive.
  payloadArchive.Open("");

  // The profile texts of the archive and of the started file's folder, NWP first.
  CollectNwpProfiles(setupContext, payloadArchive);
  CollectNwkProfiles(setupContext, payloadArchive);

  PrepareWizard();

  if (unattended) {
    // The installed uninstaller that started this copy is waiting for it (only the plain start
    // of an unattended run waits).
    const int exitCode = RunUnattended(
        switches, mode == StartMode::ClonedUninstall && startedUninstaller[0] ? startedUninstaller : nullptr);
    ReleaseInstallMutex();
    return exitCode;
  }

  if (IsProductInstalled()) {
    if (mode == StartMode::ClonedUninstall) {
      // The installed uninstaller: the Uninstall pages alone. The mutex is left to the end of
      // the process.
      AppendUninstallPages();
      return static_cast<int>(wizardFrame.Run());
    }
    RunMaintenanceFlow();
    ReleaseInstallMutex();
    return PendingQuitCode();
  }

  // Not installed, in either mode: the Install flow. Without its script there is nothing to
  // install; the mutex is left to the end of the process on this path.
  if (!setupContext.LoadScript(kInstallScript)) {
    ShowProductMessage(IDS_SCRIPT_NOT_FOUND);
    return 0;
  }
  RunInstallFlow();

  ReleaseInstallMutex();
  return PendingQuitCode();  // a damaged payload's exit code; 0 for every other end
}

}  // namespace

int RunSetup(HINSTANCE instance, const char* commandLineText) {
  instanceHandle = instance;
  // Read before the gates, so that a refusal reaches the log too, and so that an unattended
  // run answers even the gates' messages in its log instead of showing them.
  commandLine.Parse(commandLineText, 0);
  SetupSwitches switches;
  const int switchesSound = ReadSetupSwitches(commandLine, &switches);
  SetUnattended(IsUnattendedRun(switches) ? 1 : 0);
  OpenLogOfSwitches(switches, commandLineText);
  const int code = RunStartedSetup(commandLineText, switches, switchesSound);
  LogAction("Setup ended: exit code %d", code);
  CloseSetupLog();
  return code;
}
