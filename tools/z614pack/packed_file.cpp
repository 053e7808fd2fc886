#include "tools/z614pack/packed_file.h"

#include <cerrno>
#include <cstring>

#include "core/archive_check.h"
#include "tools/z614pack/commands.h"

int OpenPackedFile(const char* path, InputFile* file, ArchiveLayout* layout) {
  if (!file->Open(path)) {
    Fail("%s: cannot open: %s", path, std::strerror(errno));
    return 0;
  }
  ReadArchive(*file, layout);
  char message[512];
  if (!CheckArchiveReadable(*layout, message, sizeof message)) {
    Fail("%s: %s", path, message);
    return 0;
  }
  return 1;
}
