#include "script/temp_file.h"

#include <windows.h>

int MakeTempFile(const char* tempFolder, const char* prefix, char* path) {
  path[0] = '\0';
  if (GetTempFileNameA(tempFolder, prefix, 0, path) == 0) {
    path[0] = '\0';
    return 0;
  }
  return 1;
}
