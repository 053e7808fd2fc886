#include "script/archive_reference.h"

#include <windows.h>

#include <cstring>

#include "core/bounded_string.h"

int SplitArchiveReference(const char* source, char* archivePath, char* entryName) {
  archivePath[0] = '\0';
  entryName[0] = '\0';
  if (source == nullptr) return 0;
  const char* colon = std::strchr(source, ':');
  if (colon == nullptr) {
    CopyText(entryName, MAX_PATH, source);
    return 0;
  }
  if (colon == source) {
    const DWORD length = GetModuleFileNameA(nullptr, archivePath, MAX_PATH);
    if (length == 0) archivePath[0] = '\0';
    if (length >= MAX_PATH) archivePath[MAX_PATH - 1] = '\0';  // XP leaves a cut path open
  } else {
    const size_t length = static_cast<size_t>(colon - source);
    const size_t kept = length < MAX_PATH - 1 ? length : MAX_PATH - 1;
    std::memcpy(archivePath, source, kept);
    archivePath[kept] = '\0';
  }
  CopyText(entryName, MAX_PATH, colon + 1);
  return 1;
}
