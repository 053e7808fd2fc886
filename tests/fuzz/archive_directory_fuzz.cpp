// Feeds arbitrary bytes to the archive reader as a whole file, and again as a directory
// stretch, and checks what every accepted record promises its users: a terminated name of at
// most 259 characters, a stored size equal to the size, data in front of the directory.
// The release tools' strict checks run over the same bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/archive_check.h"
#include "core/archive_format.h"

namespace {

class BytesSource : public ArchiveSource {
 public:
  BytesSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  int GetLength(uint64_t* length) override {
    *length = size_;
    return 1;
  }
  int ReadAt(uint64_t offset, void* buffer, size_t size, size_t* got) override {
    *got = 0;
    if (offset >= size_) return 1;
    *got = static_cast<size_t>(std::min<uint64_t>(size, size_ - offset));
    std::memcpy(buffer, data_ + offset, *got);
    return 1;
  }

 private:
  const uint8_t* data_;
  size_t size_;
};

void CheckDirectory(const DirectoryContents& directory, uint32_t directoryOffset, uint64_t fileLength) {
  for (const ArchiveRecord& r : directory.records) {
    const size_t length = strnlen(r.name, sizeof r.name);
    if (length == 0 || length > kMaxEntryNameLength) std::abort();
    if (r.storageFlag != 0 || r.storedSize != r.size) std::abort();
    if (static_cast<uint64_t>(r.dataOffset) + r.size > directoryOffset) std::abort();
  }
  if (directory.endOffset > fileLength + directoryOffset) std::abort();
  if ((directory.refusedRecords == 0) != (directory.firstFault == RecordFault::kNone)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  BytesSource source(data, size);
  ArchiveLayout layout;
  ReadArchive(source, &layout);
  if (layout.result == ArchiveReadResult::kDirectory) {
    CheckDirectory(layout.directory, layout.directoryOffset, layout.fileLength);
    char message[512];
    if (CheckArchiveStructure(source, layout, message, sizeof message)) CheckEntryCrcs(source, layout, message, sizeof message);
  } else if (!layout.directory.records.empty()) {
    std::abort();
  }

  // The bytes as a directory stretch on their own, at an offset taken from the input.
  uint32_t directoryOffset = 0;
  if (size >= 4) std::memcpy(&directoryOffset, data, 4);
  DirectoryContents directory;
  ParseDirectory(data, size, directoryOffset, &directory);
  CheckDirectory(directory, directoryOffset, size);
  return 0;
}
