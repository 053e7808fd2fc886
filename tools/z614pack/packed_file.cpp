#include "tools/z614pack/packed_file.h"

#include <cerrno>
#include <cinttypes>
#include <cstring>

#include "core/archive_check.h"
#include "tools/z614pack/commands.h"

namespace {

// Room beyond the stored bytes: file systems count small files and the tail of a file in ways
// of their own, and a directory this small is cheap to read anyway.
constexpr uint64_t kDirectorySlack = 1u << 20;

// The reader holds the whole directory area (from the directory offset to the end of the
// file) in memory. A sparse file can claim gigabytes there that were never written; such an
// area, larger than what the file holds on disk, is refused instead of read.
int CheckDirectoryArea(const char* path, InputFile& file) {
  uint64_t length = 0;
  unsigned char trailer[kArchiveTrailerSize];
  size_t got = 0;
  if (!file.GetLength(&length) || length < kArchiveTrailerSize ||
      !file.ReadAt(length - kArchiveTrailerSize, trailer, sizeof trailer, &got) || got != sizeof trailer) {
    return 1;  // the reader says what is wrong with such a file
  }
  const uint32_t directoryOffset = static_cast<uint32_t>(trailer[4]) | (static_cast<uint32_t>(trailer[5]) << 8) |
                                   (static_cast<uint32_t>(trailer[6]) << 16) |
                                   (static_cast<uint32_t>(trailer[7]) << 24);
  if (directoryOffset >= length) return 1;
  const uint64_t area = length - directoryOffset;
  const uint64_t stored = StoredBytes(path);
  if (area <= stored + kDirectorySlack) return 1;
  Fail("%s: refused: the directory area of %" PRIu64 " bytes is larger than the %" PRIu64
       " bytes the file holds on disk (a sparse or damaged file); it is not read",
       path, area, stored);
  return 0;
}

}  // namespace

int OpenPackedFile(const char* path, InputFile* file, ArchiveLayout* layout) {
  if (!file->Open(path)) {
    Fail("%s: cannot open: %s", path, std::strerror(errno));
    return 0;
  }
  if (!CheckDirectoryArea(path, *file)) return 0;
  ReadArchive(*file, layout);
  char message[512];
  if (!CheckArchiveReadable(*layout, message, sizeof message)) {
    Fail("%s: %s", path, message);
    return 0;
  }
  return 1;
}
