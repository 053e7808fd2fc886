#include "script/uninstall_script.h"

#include <windows.h>
#include <shlwapi.h>

#include "core/bounded_string.h"
#include "core/uninstall_record.h"
#include "res/resource.h"
#include "script/run_progress.h"
#include "sys/delete_files.h"
#include "sys/setup_context.h"
#include "sys/setup_log.h"

void SetupContext::AppendUninstallRecord(const char* action, const char* line, ComponentSet mask) {
  char path[MAX_PATH];
  CopyText(path, sizeof path, targetFolder);
  if (!PathAppendA(path, kUninstallScriptName)) return;

  char record[kUninstallRecordSize];
  const size_t length = FormatUninstallRecord(action, line != nullptr ? line : "", mask, record,
                                              sizeof record);
  if (length == 0) return;

  HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  if (GetLastError() != ERROR_ALREADY_EXISTS) LogAction("File written: %s", path);
  SetFilePointer(file, 0, nullptr, FILE_END);
  DWORD written = 0;
  WriteFile(file, record, static_cast<DWORD>(length), &written, nullptr);
  CloseHandle(file);
  LogAction("Uninstall record: %s", record);
}

void SetupContext::RunUninstall(HWND window) {
  LogAction("Uninstall script");
  RunProgress progress(window, script.fileItems.Count() + script.shellLinkItems.Count() +
                                   script.folderItems.Count());

  // Records hold full paths: nothing is expanded. An empty record line (a precache-only
  // AddFile line) matches no file.
  for (size_t i = 0; i < script.fileItems.Count(); ++i) {
    const FileItem& item = *script.fileItems.At(i);
    progress.StartItem(IDS_ACTION_REMOVING, item.destination);
    if (item.destination[0] != '\0') DeleteFiles(item.destination);
    progress.EndItem();
  }
  for (size_t i = 0; i < script.shellLinkItems.Count(); ++i) {
    const ShellLinkItem& item = *script.shellLinkItems.At(i);
    progress.StartItem(IDS_ACTION_REMOVING, item.link);
    if (item.link[0] != '\0') DeleteFiles(item.link);
    progress.EndItem();
  }

  // No folder may be the process's current directory while it is removed.
  char savedDirectory[MAX_PATH] = "";
  const DWORD saved = GetCurrentDirectoryA(sizeof savedDirectory, savedDirectory);
  SetCurrentDirectoryA("C:\\");
  for (size_t i = 0; i < script.folderItems.Count(); ++i) {
    const FolderItem& item = *script.folderItems.At(i);
    progress.StartItem(IDS_ACTION_REMOVING, item.folder);
    // A folder with files stays.
    if (item.folder[0] != '\0' && RemoveDirectoryA(item.folder)) {
      LogAction("Folder removed: %s", item.folder);
    }
    progress.EndItem();
  }
  if (saved != 0 && saved < sizeof savedDirectory) SetCurrentDirectoryA(savedDirectory);
  FlushSetupLog();
}
