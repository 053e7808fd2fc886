// Hand-built archive images: every byte placed here, independently of the writer under test,
// so a fault in the format code cannot hide in the images too.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/archive_format.h"
#include "core/crc32.h"

namespace images {

inline void Put(std::string& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A name written without its zero byte makes a record that runs into whatever follows.
struct Record {
  uint32_t dataOffset = 0;
  uint8_t storageFlag = 0;
  uint32_t storedSize = 0, size = 0, crc = 0, crcCopy = 0;
  uint64_t creationTime = 0, writeTime = 0;
  std::string name;
  bool terminated = true;
};

inline std::string RecordBytes(const Record& r) {
  std::string out;
  Put(out, r.dataOffset, 4);
  Put(out, r.storageFlag, 1);
  for (uint32_t v : {r.storedSize, r.size, r.crc, r.crcCopy}) Put(out, v, 4);
  Put(out, r.creationTime, 8);
  Put(out, r.writeTime, 8);
  return out + r.name + (r.terminated ? std::string(1, '\0') : "");
}

struct Entry {
  std::string name, data;
};

// `front` (image and data), the directory magic, the records, `afterRecords` and the trailer.
inline std::string Assemble(std::string front, const std::vector<Record>& records, uint32_t payloadStart,
                            const std::string& afterRecords = "") {
  const uint32_t directoryOffset = static_cast<uint32_t>(front.size());
  front += "QorFilenameBegin";
  for (const Record& r : records) front += RecordBytes(r);
  front += afterRecords;
  Put(front, payloadStart, 4);
  Put(front, directoryOffset, 4);
  return front;
}

// A well-formed packed file; `records` receives the records written, in order.
inline std::string Packed(const std::string& image, const std::vector<Entry>& entries,
                          std::vector<Record>* records = nullptr) {
  std::string out = image + "QorFileBegin" + std::string(4, '\0');
  std::vector<Record> written;
  for (const Entry& e : entries) {
    Record r;
    r.dataOffset = static_cast<uint32_t>(out.size());
    r.storedSize = r.size = static_cast<uint32_t>(e.data.size());
    r.crc = r.crcCopy = Crc32(e.data.data(), e.data.size());
    r.creationTime = 0x01C30F0000000000ull + written.size();
    r.writeTime = 0x01C3100000000000ull + written.size();
    r.name = e.name;
    written.push_back(r);
    out += e.data;
  }
  if (records) *records = written;
  return Assemble(out, written, static_cast<uint32_t>(image.size()));
}

class StringSink : public ByteSink {
 public:
  std::string bytes;
  int Write(const void* data, size_t size) override {
    bytes.append(static_cast<const char*>(data), size);
    return 1;
  }
};

// A file as an archive source; its length, or every read covering an offset, can fail.
class MemorySource : public ArchiveSource {
 public:
  explicit MemorySource(std::string bytes) : bytes(std::move(bytes)) {}
  int GetLength(uint64_t* length) override {
    *length = bytes.size();
    return failReadsAt != kLength;
  }
  int ReadAt(uint64_t offset, void* buffer, size_t size, size_t* got) override {
    *got = std::min<uint64_t>(size, offset < bytes.size() ? bytes.size() - offset : 0);
    std::memcpy(buffer, bytes.data() + std::min<uint64_t>(offset, bytes.size()), *got);
    return failReadsAt < offset || failReadsAt >= offset + size;
  }
  static constexpr uint64_t kLength = UINT64_MAX - 1;
  std::string bytes;
  uint64_t failReadsAt = UINT64_MAX;  // or kLength
};

}  // namespace images
