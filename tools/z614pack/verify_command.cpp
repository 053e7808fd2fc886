// z614pack verify FILE: the archive's structure as the packer makes it, then every entry's
// CRC-32 recomputed from its bytes. The first fault found is reported.
#include <cinttypes>
#include <cstdio>

#include "core/archive_check.h"
#include "tools/z614pack/commands.h"
#include "tools/z614pack/packed_file.h"

int VerifyCommand(const char* archivePath) {
  InputFile file;
  ArchiveLayout layout;
  if (!OpenPackedFile(archivePath, &file, &layout)) return 1;
  char message[512];
  if (!CheckArchiveStructure(file, layout, message, sizeof message) ||
      !CheckEntryCrcs(file, layout, message, sizeof message)) {
    return Fail("%s: %s", archivePath, message);
  }
  std::printf("%s: sound, %" PRIu64 " entries, every CRC-32 matches\n", archivePath,
              static_cast<uint64_t>(layout.directory.records.size()));
  return 0;
}
