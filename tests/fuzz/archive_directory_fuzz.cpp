// Arbitrary bytes as a whole file and as a directory stretch on their own. Every accepted
// record keeps its promise to its users: a name of 1 to 259 characters, a stored size equal to
// the size, data in front of the directory. The release tools' strict checks run over them too.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/archive_check.h"
#include "core/archive_format.h"
#include "tests/native/archive_images.h"

namespace {

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
  images::MemorySource source(std::string(reinterpret_cast<const char*>(data), size));
  ArchiveLayout layout;
  ReadArchive(source, &layout);
  if (layout.result == ArchiveReadResult::kDirectory) {
    CheckDirectory(layout.directory, layout.directoryOffset, layout.fileLength);
    char message[512];
    if (CheckArchiveStructure(source, layout, message, sizeof message)) {
      CheckEntryCrcs(source, layout, message, sizeof message);
    }
  } else if (!layout.directory.records.empty()) {
    std::abort();
  }
  uint32_t directoryOffset = 0;  // taken from the input
  if (size >= 4) std::memcpy(&directoryOffset, data, 4);
  DirectoryContents directory;
  ParseDirectory(data, size, directoryOffset, &directory);
  CheckDirectory(directory, directoryOffset, size);
  return 0;
}
