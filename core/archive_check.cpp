#include "core/archive_check.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/bounded_string.h"
#include "core/crc32.h"

namespace {

#if defined(__MINGW32__)
#define CHECK_PRINTF_FORMAT __MINGW_PRINTF_FORMAT
#else
#define CHECK_PRINTF_FORMAT printf
#endif

// Writes the message (cut to cap) and yields 0, the result of every failed check.
__attribute__((format(CHECK_PRINTF_FORMAT, 3, 4))) int Report(char* message, size_t cap, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(message, cap, format, args);
  va_end(args);
  return 0;
}

}  // namespace

int CheckArchiveReadable(const ArchiveLayout& layout, char* message, size_t cap) {
  switch (layout.result) {
    case ArchiveReadResult::kTrailerUnreadable:
      return Report(message, cap, "the file cannot be read");
    case ArchiveReadResult::kNoArchive:
      return Report(message, cap,
                    "the file carries no archive: its trailer does not point at a directory magic "
                    "(a foreign, truncated or damaged file)");
    case ArchiveReadResult::kDirectoryUnreadable:
      return Report(message, cap, "the directory cannot be read into memory");
    case ArchiveReadResult::kDirectory:
      break;
  }
  const DirectoryContents& directory = layout.directory;
  if (directory.firstFault != RecordFault::kNone) {
    return Report(message, cap, "damaged directory: %s (record at offset %" PRIu64 ")",
                  DescribeRecordFault(directory.firstFault), directory.firstFaultOffset);
  }
  return 1;
}

int CheckArchiveStructure(ArchiveSource& source, const ArchiveLayout& layout, char* message, size_t cap) {
  if (!CheckArchiveReadable(layout, message, cap)) return 0;
  const uint64_t start = layout.payloadStart;
  const uint64_t directoryOffset = layout.directoryOffset;
  const uint64_t trailerOffset = layout.fileLength - kArchiveTrailerSize;

  if (start + kArchiveBeginBlockSize > directoryOffset) {
    return Report(message, cap, "the payload start %" PRIu64 " leaves no room for the begin block in front of the directory at %" PRIu64,
                  start, directoryOffset);
  }
  unsigned char expected[kArchiveBeginBlockSize];
  unsigned char found[kArchiveBeginBlockSize];
  size_t got = 0;
  MakeBeginBlock(expected);
  if (!source.ReadAt(start, found, sizeof found, &got) || got != sizeof found ||
      std::memcmp(found, expected, sizeof found) != 0) {
    return Report(message, cap, "no begin block at the payload start %" PRIu64, start);
  }
  if (layout.directory.endOffset != trailerOffset) {
    return Report(message, cap, "the trailer does not follow the last record directly (records end at %" PRIu64 ", trailer at %" PRIu64 ")",
                  layout.directory.endOffset, trailerOffset);
  }

  const std::vector<ArchiveRecord>& records = layout.directory.records;
  uint64_t expectedOffset = start + kArchiveBeginBlockSize;
  for (size_t i = 0; i < records.size(); ++i) {
    const ArchiveRecord& r = records[i];
    if (r.crcCopy != r.crc) {
      return Report(message, cap, "entry '%s': the CRC copy %08" PRIX32 " differs from the CRC %08" PRIX32, r.name,
                    r.crcCopy, r.crc);
    }
    if (i > 0) {
      const int order = CompareNoCase(records[i - 1].name, r.name);
      if (order == 0) return Report(message, cap, "entry '%s': the name is not unique without regard to case", r.name);
      if (order > 0) return Report(message, cap, "entry '%s': out of order after '%s'", r.name, records[i - 1].name);
    }
    if (r.dataOffset != expectedOffset) {
      return Report(message, cap, "entry '%s': data at offset %" PRIu32 ", expected %" PRIu64 " (entries must lie back to back)",
                    r.name, r.dataOffset, expectedOffset);
    }
    expectedOffset += r.size;
  }
  if (expectedOffset != directoryOffset) {
    return Report(message, cap, "the directory at %" PRIu64 " does not follow the last entry's data, which ends at %" PRIu64,
                  directoryOffset, expectedOffset);
  }
  return 1;
}

EntryRead ReadEntryData(ArchiveSource& source, const ArchiveRecord& record,
                        std::vector<unsigned char>& buffer,
                        const std::function<int(const unsigned char*, size_t)>& take, uint32_t* crc) {
  uint32_t state = 0xFFFFFFFFu;
  uint64_t offset = record.dataOffset;
  uint64_t left = record.storedSize;
  while (left > 0) {
    const size_t chunk = left < buffer.size() ? static_cast<size_t>(left) : buffer.size();
    size_t got = 0;
    if (!source.ReadAt(offset, buffer.data(), chunk, &got) || got != chunk) return EntryRead::kUnreadable;
    if (take && !take(buffer.data(), chunk)) return EntryRead::kRefused;
    state = Crc32Update(state, buffer.data(), chunk);
    offset += chunk;
    left -= chunk;
  }
  *crc = ~state;
  return EntryRead::kRead;
}

int CheckEntryCrcs(ArchiveSource& source, const ArchiveLayout& layout, char* message, size_t cap) {
  std::vector<unsigned char> buffer(1u << 20);
  for (const ArchiveRecord& r : layout.directory.records) {
    uint32_t crc = 0;
    if (ReadEntryData(source, r, buffer, nullptr, &crc) != EntryRead::kRead) {
      return Report(message, cap, "entry '%s': its data cannot be read", r.name);
    }
    if (crc != r.crc) {
      return Report(message, cap, "entry '%s': CRC mismatch (recorded %08" PRIX32 ", computed %08" PRIX32 ")", r.name, r.crc,
                    crc);
    }
  }
  return 1;
}
