#include "sys/system_library.h"

#include <cstring>

HMODULE LoadSystemLibrary(const char* fileName) {
  if (fileName == nullptr || fileName[0] == '\0') return nullptr;
  char path[MAX_PATH];
  UINT length = GetSystemDirectoryA(path, MAX_PATH);
  size_t nameLength = strlen(fileName);
  if (length == 0 || length >= MAX_PATH || length + 1 + nameLength >= MAX_PATH) return nullptr;
  if (path[length - 1] != '\\') path[length++] = '\\';
  memcpy(path + length, fileName, nameLength + 1);
  return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
