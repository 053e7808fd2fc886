#include "script/text_file_rewrite.h"

#include <windows.h>

#include "script/temp_file.h"
#include "sys/delete_files.h"
#include "sys/setup_log.h"

int RewriteTextFile(const char* tempFolder, const char* path, const char* prefix,
                    PieceEditor edit, const void* context) {
  if (path == nullptr || path[0] == '\0') return 0;
  char copy[MAX_PATH];
  if (!MakeTempFile(tempFolder, prefix, copy)) return 0;

  FILE* in = std::fopen(path, "r");
  FILE* out = in != nullptr ? std::fopen(copy, "w") : nullptr;
  if (out == nullptr) {
    if (in != nullptr) std::fclose(in);
    DeleteFileA(copy);  // nothing was edited: the copy has no use
    return 0;
  }
  char piece[kTextPieceSize];
  while (std::fgets(piece, sizeof piece, in) != nullptr) edit(piece, out, context);
  std::fclose(in);
  if (std::fclose(out) != 0) {
    DeleteFileA(copy);  // a copy that was not written whole must not replace the file
    return 0;
  }
  if (!DeleteFiles(path) || !MoveFileA(copy, path)) return 0;
  LogAction("File edited: %s", path);
  return 1;
}
