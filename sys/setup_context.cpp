#include "sys/setup_context.h"

#include <shlobj.h>
#include <shlwapi.h>

#include "core/bounded_string.h"
#include "res/resource.h"
#include "sys/module_instance.h"

namespace {

// Where the system names its Program Files folder.
constexpr char kCurrentVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char kProgramFilesValue[] = "ProgramFilesDir";
constexpr char kProgramFilesFallback[] = "C:\\";

// The maker's folder below Program Files that holds the product's folder.
constexpr char kMakerFolder[] = "Xelta";

// Stores what a GetXxxDirectoryA-style call returned, or the empty string when it failed or
// the folder would not fit.
void KeepIfFits(char* folder, UINT length) {
  if (length == 0 || length >= MAX_PATH) folder[0] = '\0';
}

void ReadProgramFilesFolder(char* folder) {
  folder[0] = '\0';
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return;  // stays empty
  }
  DWORD size = MAX_PATH - 1;  // room is left for the terminating zero
  if (RegQueryValueExA(key, kProgramFilesValue, nullptr, nullptr, reinterpret_cast<BYTE*>(folder),
                       &size) == ERROR_SUCCESS) {
    folder[size < MAX_PATH ? size : MAX_PATH - 1] = '\0';
  } else {
    CopyText(folder, MAX_PATH, kProgramFilesFallback);
  }
  RegCloseKey(key);
}

}  // namespace

void ReadShellFolder(int csidl, char* path) {
  path[0] = '\0';
  if (!SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE)) path[0] = '\0';
}

SetupContext::SetupContext() : SetupContext(ReadShellFolder) {}

SetupContext::SetupContext(ShellFolderReader readShellFolder) { ResolveFolders(readShellFolder); }

void SetupContext::ResolveFolders(ShellFolderReader readShellFolder) {
  KeepIfFits(sourceFolder, GetModuleFileNameA(nullptr, sourceFolder, MAX_PATH));
  PathRemoveFileSpecA(sourceFolder);
  KeepIfFits(windowsFolder, GetWindowsDirectoryA(windowsFolder, MAX_PATH));
  KeepIfFits(systemFolder, GetSystemDirectoryA(systemFolder, MAX_PATH));

  readShellFolder(CSIDL_COMMON_STARTMENU, startMenuFolder);
  if (startMenuFolder[0] == '\0') readShellFolder(CSIDL_STARTMENU, startMenuFolder);
  readShellFolder(CSIDL_STARTUP, startupFolder);
  readShellFolder(CSIDL_DESKTOPDIRECTORY, desktopFolder);
  readShellFolder(CSIDL_PROGRAMS, programsFolder);
  readShellFolder(CSIDL_COMMON_PROGRAMS, commonProgramsFolder);
  if (commonProgramsFolder[0] == '\0') CopyText(commonProgramsFolder, MAX_PATH, programsFolder);
  readShellFolder(CSIDL_COMMON_APPDATA, appDataFolder);
  readShellFolder(CSIDL_COMMON_DOCUMENTS, commonDocumentsFolder);
  readShellFolder(CSIDL_PERSONAL, personalFolder);
  ReadProgramFilesFolder(programFilesFolder);
  if (commonDocumentsFolder[0] == '\0') CopyText(commonDocumentsFolder, MAX_PATH, personalFolder);

  KeepIfFits(tempFolder, GetTempPathA(MAX_PATH, tempFolder));
}

int SetupContext::UseDefaultTargetFolder() {
  if (targetFolder[0] != '\0') return 1;
  char productName[kTextBufferSize];
  LoadText(IDS_PRODUCT_NAME, productName);
  char folder[MAX_PATH];
  if (CopyText(folder, sizeof folder, programFilesFolder) && PathAppendA(folder, kMakerFolder) &&
      PathAppendA(folder, productName)) {
    CopyText(targetFolder, sizeof targetFolder, folder);
  }
  return targetFolder[0] != '\0';
}
