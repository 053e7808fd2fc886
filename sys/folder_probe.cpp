#include "sys/folder_probe.h"

#include <windows.h>

#include "sys/delete_files.h"
#include "sys/folders.h"

namespace {

void RemoveCreatedFolders(const char* firstCreated) {
  if (firstCreated[0] != '\0') DeleteFolderTree(firstCreated);
}

// Creates a probe file in folder, writes four bytes to it and deletes it again.
int WriteProbeFile(const char* folder) {
  char probe[MAX_PATH];
  if (GetTempFileNameA(folder, kProbeFilePrefix, 0, probe) == 0) return 0;

  int result = 0;
  HANDLE file = CreateFileA(probe, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    const unsigned char zeros[4] = {0, 0, 0, 0};
    DWORD written = 0;
    result = WriteFile(file, zeros, sizeof zeros, &written, nullptr) && written == sizeof zeros;
    CloseHandle(file);
  }
  // GetTempFileNameA made the file, so it goes even when it could not be written.
  DeleteFiles(probe);
  return result;
}

}  // namespace

int CanCreateFolder(const char* path) {
  if (path == nullptr || *path == '\0') return 0;
  if (IsExistingFolder(path)) return 2;
  char firstCreated[MAX_PATH];
  const int result = CreateMissingFolders(path, firstCreated);
  RemoveCreatedFolders(firstCreated);
  return result;
}

int CanWriteToFolder(const char* path) {
  if (path == nullptr || *path == '\0') return 0;
  char firstCreated[MAX_PATH] = "";
  if (!IsExistingFolder(path) && !CreateMissingFolders(path, firstCreated)) {
    RemoveCreatedFolders(firstCreated);
    return 0;
  }
  const int result = WriteProbeFile(path);
  RemoveCreatedFolders(firstCreated);
  return result;
}
