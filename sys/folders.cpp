#include "sys/folders.h"

#include <windows.h>
#include <shlwapi.h>

#include "core/bounded_string.h"
#include "sys/setup_log.h"

int HasExtension(const char* path, const char* extension) {
  if (path == nullptr || *path == '\0' || extension == nullptr || *extension == '\0') return 0;
  const char* dot = PathFindExtensionA(path);
  if (dot == nullptr || *dot != '.') return 0;
  return EqualsNoCase(dot + 1, extension) ? 1 : 0;
}

int IsExistingFolder(const char* path) {
  if (path == nullptr || *path == '\0') return 0;
  char previous[MAX_PATH];
  const DWORD length = GetCurrentDirectoryA(sizeof previous, previous);
  if (length == 0 || length >= sizeof previous) {
    // The current folder could not be restored afterwards, so test without entering.
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  if (!SetCurrentDirectoryA(path)) return 0;
  SetCurrentDirectoryA(previous);
  return 1;
}

namespace {

// Ensures one prefix exists; remembers it in firstCreated when it is the first one made.
bool EnsureFolder(const char* prefix, char* firstCreated) {
  if (IsExistingFolder(prefix)) return true;
  if (!CreateDirectoryA(prefix, nullptr)) return false;
  LogAction("Folder created: %s", prefix);
  if (firstCreated != nullptr && firstCreated[0] == '\0') CopyText(firstCreated, MAX_PATH, prefix);
  return true;
}

}  // namespace

int CreateMissingFolders(const char* path, char* firstCreated) {
  if (firstCreated != nullptr) firstCreated[0] = '\0';
  if (path == nullptr || *path == '\0') return 0;
  char walk[MAX_PATH];
  if (!CopyText(walk, sizeof walk, path)) return 0;  // a longer path cannot be a folder here

  for (char* p = walk; *p != '\0'; ++p) {
    if (*p != '\\') continue;
    *p = '\0';
    const bool ok = EnsureFolder(walk, firstCreated);
    *p = '\\';
    if (!ok) return 0;
  }
  return EnsureFolder(walk, firstCreated) ? 1 : 0;
}

int CreateFolderChain(const char* path) {
  if (path == nullptr || *path == '\0') return 0;
  if (IsExistingFolder(path)) return 1;
  return CreateMissingFolders(path, nullptr);
}
