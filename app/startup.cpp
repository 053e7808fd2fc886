#include "app/startup.h"

#include <shlwapi.h>

#include "app/globals.h"
#include "app/os_version.h"
#include "app/user_rights.h"
#include "core/bounded_string.h"
#include "device/profile_collection.h"
#include "res/resource.h"
#include "sys/clone.h"
#include "sys/module_instance.h"

namespace {

const char kInstallMutexName[] = "Z614InstallMutex";
const char kClonedSwitch[] = "Cloned";
const char kClonedUninstallSwitch[] = "ClonedUninstall";

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

void ReleaseInstallMutex() {
  if (!installMutex) return;
  ReleaseMutex(installMutex);
  CloseHandle(installMutex);
  installMutex = nullptr;
}

}  // namespace

int RunSetup(HINSTANCE instance, const char* commandLineText) {
  instanceHandle = instance;
  if (!PassGates()) return 0;

  commandLine.Parse(commandLineText, 0);
  char startedFile[MAX_PATH];
  const StartMode mode = ReadStartMode(startedFile, sizeof startedFile);
  if (mode == StartMode::Launcher) {
    CloneAndRestart(commandLineText);
    return 0;
  }

  TakeSourceFolder(startedFile);
  PrepareSelfDelete();
  if (!TakeInstallMutex()) return 0;

  // A failed open has shown its own message; start-up goes on with an empty archive.
  payloadArchive.Open("");

  // The profile texts of the archive and of the started file's folder, NWP first (Part 5.8).
  CollectNwpProfiles(setupContext, payloadArchive);
  CollectNwkProfiles(setupContext, payloadArchive);

  // The wizard's classes and pictures, and the choice between the Install
  // and the maintenance flows follow here as the script engine and the wizard arrive; until
  // then the copy ends after its preparation.
  ReleaseInstallMutex();
  return 0;
}
