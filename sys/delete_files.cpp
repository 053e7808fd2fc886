#include "sys/delete_files.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstring>

#include "core/bounded_string.h"
#include "sys/setup_log.h"

namespace {

bool IsDotEntry(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// Deletes one file, retrying while something else still holds it open.
bool DeleteWithRetries(const char* path) {
  SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
  for (int attempt = 0; attempt < kDeleteTries; ++attempt) {
    if (DeleteFileA(path)) {
      LogAction("File deleted: %s", path);
      return true;
    }
    Sleep(kDeleteRetryDelayMs);
  }
  LogAction("File not deleted: %s", path);
  return false;
}

// folder joined with name into out (MAX_PATH bytes); false when the result would not fit.
bool JoinPath(char* out, const char* folder, const char* name) {
  return CopyText(out, MAX_PATH, folder) && PathAppendA(out, name);
}

}  // namespace

int DeleteFiles(const char* path) {
  if (path == nullptr || *path == '\0') return 0;
  char folder[MAX_PATH];
  if (!CopyText(folder, sizeof folder, path)) return 0;
  PathRemoveFileSpecA(folder);

  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(path, &found);
  if (search == INVALID_HANDLE_VALUE) return 1;  // nothing to delete

  int result = 1;
  do {
    // Sub-folders of a wildcard match are not files; DeleteFolderTree handles them.
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    char file[MAX_PATH];
    if (!JoinPath(file, folder, found.cFileName) || !DeleteWithRetries(file)) result = 0;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return result;
}

int DeleteFolderTree(const char* folder) {
  if (folder == nullptr || *folder == '\0') return 0;
  char pattern[MAX_PATH];
  if (JoinPath(pattern, folder, "*")) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        if (IsDotEntry(found.cFileName)) continue;
        char entry[MAX_PATH];
        if (!JoinPath(entry, folder, found.cFileName)) continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          DeleteFolderTree(entry);
        } else {
          SetFileAttributesA(entry, FILE_ATTRIBUTE_NORMAL);
          DeleteFiles(entry);
        }
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
  }
  // A read-only folder would refuse removal.
  SetFileAttributesA(folder, FILE_ATTRIBUTE_NORMAL);
  if (!RemoveDirectoryA(folder)) return 0;
  LogAction("Folder removed: %s", folder);
  return 1;
}
