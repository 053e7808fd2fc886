// z614pack list FILE: the directory as the setup sees it, one line per entry in directory
// order: name, size, CRC-32 (8 upper-case hex digits) and data offset, tab-separated. A name
// from a foreign archive may hold any byte: bytes outside printable ASCII and the backslash are
// written as \xNN, so every entry stays one line of four fields.
#include <cinttypes>
#include <cstdio>

#include "tools/z614pack/commands.h"
#include "tools/z614pack/packed_file.h"
#include "tools/z614pack/printable_name.h"

int ListCommand(const char* archivePath) {
  InputFile file;
  ArchiveLayout layout;
  if (!OpenPackedFile(archivePath, &file, &layout)) return 1;
  for (const ArchiveRecord& r : layout.directory.records) {
    std::printf("%s\t%" PRIu32 "\t%08" PRIX32 "\t%" PRIu32 "\n", PrintableName(r.name).c_str(), r.size, r.crc, r.dataOffset);
  }
  if (std::fflush(stdout) != 0) return Fail("cannot write the listing");
  return 0;
}
