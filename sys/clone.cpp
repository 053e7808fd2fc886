#include "sys/clone.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdio>

#include "core/bounded_string.h"
#include "core/setup_switches.h"
#include "res/resource.h"
#include "sys/delete_files.h"
#include "sys/module_instance.h"
#include "sys/process_launch.h"
#include "sys/run_once.h"
#include "sys/setup_log.h"

namespace {

const char kCopyPrefix[] = "Del";
const char kSweepPattern[] = "Del*.*";
const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
// Every self-delete command the setup writes holds this marker in front of the copy's path.
const char kDeleteMarker[] = " /c del ";

// Arguments of the copy: the switch, the started file's path (quoted when it holds spaces),
// then the started process's own arguments unchanged.
void BuildCopyArguments(const char* startedFile, const char* commandLineText, char* arguments,
                        size_t size) {
  char quoted[MAX_PATH];
  CopyText(quoted, sizeof quoted, startedFile);
  PathQuoteSpacesA(quoted);
  const bool isUninstaller = FindTextNoCase(startedFile, "UNINSTALL.EXE") != nullptr;
  snprintf(arguments, size, isUninstaller ? "/ClonedUninstall %s" : "/Cloned %s", quoted);
  if (commandLineText && *commandLineText) {
    AppendText(arguments, size, " ");
    AppendText(arguments, size, commandLineText);
  }
}

// A copy whose deletion at logon is still pending (no logon since its wizard ended) is deleted
// now, together with the pending command.
void DeletePendingCopy() {
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRunOnceKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS) {
    return;
  }
  char valueName[kTextBufferSize];
  LoadText(IDS_PRODUCT_NAME, valueName);
  char command[MAX_PATH] = "";
  DWORD size = MAX_PATH - 1;
  DWORD type = 0;
  if (RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(command), &size) ==
      ERROR_SUCCESS) {
    command[size < MAX_PATH ? size : MAX_PATH - 1] = '\0';
    // A value without the marker names no copy; it is left for the logon to run.
    if (const char* marker = FindTextNoCase(command, kDeleteMarker)) {
      DeleteFiles(marker + sizeof kDeleteMarker - 1);
      DeleteRunOnce(valueName);
    }
  }
  RegCloseKey(key);
}

}  // namespace

int CloneAndRestart(const char* commandLineText, int waitForCopy) {
  char running[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, running, sizeof running);

  char tempFolder[MAX_PATH] = "";
  GetTempPathA(sizeof tempFolder, tempFolder);
  char sweep[MAX_PATH];
  CopyText(sweep, sizeof sweep, tempFolder);
  AppendText(sweep, sizeof sweep, kSweepPattern);
  DeleteFiles(sweep);  // copies still running resist and stay for a later sweep

  char copy[MAX_PATH] = "";
  HANDLE copyProcess = nullptr;
  if (GetTempFileNameA(tempFolder, kCopyPrefix, 0, copy)) {
    if (CopyFileA(running, copy, FALSE)) LogAction("File written: %s", copy);
    SetFileAttributesA(copy, FILE_ATTRIBUTE_NORMAL);

    char arguments[4096];
    BuildCopyArguments(running, commandLineText, arguments, sizeof arguments);
    LaunchProcess(copy, arguments, SW_SHOWNORMAL, waitForCopy ? &copyProcess : nullptr);
  }

  DeletePendingCopy();
  if (!waitForCopy) return 0;
  if (!copyProcess) return kExitFailed;
  // The administrator's tools see this process only: it ends with the copy's code.
  DWORD code = kExitFailed;
  if (WaitForSingleObject(copyProcess, INFINITE) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(copyProcess, &code)) {
    code = kExitFailed;
  }
  CloseHandle(copyProcess);
  return static_cast<int>(code);
}

int MoveStartedFileAside(const char* startedFile) {
  char tempFolder[MAX_PATH] = "";
  GetTempPathA(sizeof tempFolder, tempFolder);
  char aside[MAX_PATH] = "";
  if (!GetTempFileNameA(tempFolder, kCopyPrefix, 0, aside)) return 0;
  // The unique name is taken by an empty file; the running program's file takes its place.
  DeleteFileA(aside);
  return MoveFileA(startedFile, aside) ? 1 : 0;
}
