// Hand-built archive images for the tests: every byte placed here, independently of the
// writer under test, so a fault in the format code cannot hide in the images too.
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

inline void Put32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
inline void Put64(std::string& out, uint64_t v) {
  Put32(out, static_cast<uint32_t>(v));
  Put32(out, static_cast<uint32_t>(v >> 32));
}

// A record's fields as they are to be written; a name written without its zero byte makes a
// record that runs into whatever follows.
struct Record {
  uint32_t dataOffset = 0;
  uint8_t storageFlag = 0;
  uint32_t storedSize = 0;
  uint32_t size = 0;
  uint32_t crc = 0;
  uint32_t crcCopy = 0;
  uint64_t creationTime = 0;
  uint64_t writeTime = 0;
  std::string name;
  bool terminated = true;
};

inline std::string RecordBytes(const Record& r) {
  std::string out;
  Put32(out, r.dataOffset);
  out.push_back(static_cast<char>(r.storageFlag));
  Put32(out, r.storedSize);
  Put32(out, r.size);
  Put32(out, r.crc);
  Put32(out, r.crcCopy);
  Put64(out, r.creationTime);
  Put64(out, r.writeTime);
  out += r.name;
  if (r.terminated) out.push_back('\0');
  return out;
}

constexpr char kMagic[] = "QorFilenameBegin";
constexpr char kBegin[] = "QorFileBegin";

struct Entry {
  std::string name;
  std::string data;
};

// The directory magic, `records`, `afterRecords` and a trailer naming `payloadStart` and the
// directory at the end of `front` (which holds the image and whatever data precedes).
inline std::string Assemble(std::string front, const std::vector<Record>& records, uint32_t payloadStart,
                            const std::string& afterRecords = "") {
  const uint32_t directoryOffset = static_cast<uint32_t>(front.size());
  front.append(kMagic, 16);
  for (const Record& r : records) front += RecordBytes(r);
  front += afterRecords;
  Put32(front, payloadStart);
  Put32(front, directoryOffset);
  return front;
}

// A well-formed packed file: `image`, the begin block, the entries' bytes, the directory
// magic, the records and the trailer. `records` receives the records written, in order.
inline std::string Packed(const std::string& image, const std::vector<Entry>& entries,
                          std::vector<Record>* records = nullptr) {
  std::string out = image;
  out.append(kBegin, 12);
  out.append(4, '\0');
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

// Keeps what is written; fails every write that would take it past `failAfter` bytes.
class StringSink : public ByteSink {
 public:
  std::string bytes;
  size_t failAfter = SIZE_MAX;
  int Write(const void* data, size_t size) override {
    if (bytes.size() + size > failAfter) return 0;
    bytes.append(static_cast<const char*>(data), size);
    return 1;
  }
};

// A packed file made by the archive writer under test, for names the packer would never store.
inline std::string Written(const std::vector<Entry>& entries) {
  StringSink sink;
  sink.bytes = "MZ" + std::string(66, '\0');
  ArchiveWriter writer(sink, sink.bytes.size());
  int ok = writer.Begin();
  for (const Entry& e : entries)
    ok = ok && writer.BeginEntry(e.name.c_str(), 0, 0) && writer.WriteEntryData(e.data.data(), e.data.size()) &&
         writer.EndEntry();
  return ok && writer.Finish() ? sink.bytes : std::string();
}

// A file as an archive source; the length, or every read that covers a given offset, can be
// made to fail as an I/O error would.
class MemorySource : public ArchiveSource {
 public:
  explicit MemorySource(std::string bytes) : bytes_(std::move(bytes)) {}
  bool failLength = false;
  uint64_t failReadsAt = UINT64_MAX;
  int GetLength(uint64_t* length) override {
    if (failLength) return 0;
    *length = bytes_.size();
    return 1;
  }
  int ReadAt(uint64_t offset, void* buffer, size_t size, size_t* got) override {
    *got = 0;
    if (failReadsAt >= offset && failReadsAt < offset + size) return 0;
    if (offset >= bytes_.size()) return 1;
    *got = std::min<uint64_t>(size, bytes_.size() - offset);
    std::memcpy(buffer, bytes_.data() + offset, *got);
    return 1;
  }

 private:
  std::string bytes_;
};

}  // namespace images
