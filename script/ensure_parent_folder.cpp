#include "script/ensure_parent_folder.h"

#include <windows.h>
#include <shlwapi.h>

#include "core/bounded_string.h"
#include "sys/folders.h"

int EnsureParentFolder(const char* path) {
  if (path == nullptr) return 0;
  char folder[MAX_PATH];
  if (!CopyText(folder, sizeof folder, path)) return 0;  // no file can have a longer path
  PathRemoveFileSpecA(folder);
  if (folder[0] == '\0') return 0;
  return CreateFolderChain(folder);
}
