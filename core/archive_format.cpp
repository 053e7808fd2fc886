#include "core/archive_format.h"

#include <cstring>
#include <new>

#include "core/bounded_string.h"
#include "core/crc32.h"

namespace {

// The halves of the two marks. Read through volatile pointers, so the compiler cannot join
// them into one constant: the marks exist in one piece only in memory, at run time.
const char* volatile kMagicHead = "QorFilename";
const char* volatile kMarkTail = "Begin";
const char* volatile kBeginHead = "QorFile";

void Join(unsigned char* out, const char* head, const char* tail) {
  const size_t headLength = std::strlen(head);
  std::memcpy(out, head, headLength);
  std::memcpy(out + headLength, tail, std::strlen(tail));
}

uint32_t Get32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint64_t Get64(const unsigned char* p) { return Get32(p) | (static_cast<uint64_t>(Get32(p + 4)) << 32); }

void Put32(unsigned char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

void Put64(unsigned char* p, uint64_t v) {
  Put32(p, static_cast<uint32_t>(v));
  Put32(p + 4, static_cast<uint32_t>(v >> 32));
}

// Decodes the fixed fields of the record at `p` into `record`.
void DecodeFixedFields(const unsigned char* p, ArchiveRecord* record) {
  record->dataOffset = Get32(p);
  record->storageFlag = p[4];
  record->storedSize = Get32(p + 5);
  record->size = Get32(p + 9);
  record->crc = Get32(p + 13);
  record->crcCopy = Get32(p + 17);
  record->creationTime = Get64(p + 21);
  record->writeTime = Get64(p + 29);
}

// The checks that keep a record's later use safe; kNone when the record is accepted.
RecordFault CheckRecord(const ArchiveRecord& record, size_t nameLength, uint32_t directoryOffset) {
  if (nameLength == 0) return RecordFault::kEmptyName;
  if (nameLength > kMaxEntryNameLength) return RecordFault::kNameTooLong;
  if (record.storageFlag != kStoredAsIs) return RecordFault::kNotStoredAsIs;
  if (record.storedSize != record.size) return RecordFault::kSizeMismatch;
  if (static_cast<uint64_t>(record.dataOffset) + record.storedSize > directoryOffset) {
    return RecordFault::kDataOutsidePayload;
  }
  return RecordFault::kNone;
}

void NoteFault(DirectoryContents* out, RecordFault fault, uint64_t offset) {
  if (out->firstFault == RecordFault::kNone) {
    out->firstFault = fault;
    out->firstFaultOffset = offset;
  }
  ++out->refusedRecords;
}

}  // namespace

void MakeDirectoryMagic(unsigned char out[kArchiveMagicSize]) { Join(out, kMagicHead, kMarkTail); }

void MakeBeginBlock(unsigned char out[kArchiveBeginBlockSize]) {
  std::memset(out, 0, kArchiveBeginBlockSize);
  Join(out, kBeginHead, kMarkTail);
}

size_t EncodeRecord(const ArchiveRecord& record, unsigned char* out) {
  const size_t nameLength = strnlen(record.name, kEntryNameCapacity);
  if (nameLength == 0 || nameLength > kMaxEntryNameLength) return 0;
  Put32(out, record.dataOffset);
  out[4] = record.storageFlag;
  Put32(out + 5, record.storedSize);
  Put32(out + 9, record.size);
  Put32(out + 13, record.crc);
  Put32(out + 17, record.crcCopy);
  Put64(out + 21, record.creationTime);
  Put64(out + 29, record.writeTime);
  std::memcpy(out + kRecordFixedSize, record.name, nameLength + 1);
  return kRecordFixedSize + nameLength + 1;
}

const char* DescribeRecordFault(RecordFault fault) {
  switch (fault) {
    case RecordFault::kNone: return "no fault";
    case RecordFault::kEndsInsideRecord: return "the directory ends inside a record";
    case RecordFault::kNameTooLong: return "a record's name is longer than 259 characters";
    case RecordFault::kEmptyName: return "a record has an empty name";
    case RecordFault::kNotStoredAsIs: return "a record's storage flag is not 0";
    case RecordFault::kSizeMismatch: return "a record's stored size differs from its size";
    case RecordFault::kDataOutsidePayload: return "a record's data does not lie in front of the directory";
  }
  return "unknown fault";
}

namespace {

// Walks the records of a directory stretch by the reader's loop rule: a record is due while
// more than 35 bytes remain before the end of the file, and it must end (zero byte of its
// name included) in front of the trailer. Calls visit(pos, nameLength) for each whole
// record; returns the position where the walk stopped and sets *cut when a due record did
// not fit.
template <typename Visit>
size_t WalkRecords(const unsigned char* stretch, size_t stretchSize, bool* cut, Visit visit) {
  const size_t recordLimit = stretchSize >= kArchiveTrailerSize ? stretchSize - kArchiveTrailerSize : 0;
  size_t pos = kArchiveMagicSize;
  *cut = false;
  while (pos < stretchSize && stretchSize - pos > 35) {
    const size_t nameStart = pos + kRecordFixedSize;
    const void* terminator =
        nameStart < recordLimit ? std::memchr(stretch + nameStart, 0, recordLimit - nameStart) : nullptr;
    if (!terminator) {
      *cut = true;
      break;
    }
    const size_t nameLength = static_cast<size_t>(static_cast<const unsigned char*>(terminator) - (stretch + nameStart));
    visit(pos, nameLength);
    pos = nameStart + nameLength + 1;
  }
  return pos < stretchSize ? pos : stretchSize;
}

}  // namespace

void ParseDirectory(const unsigned char* stretch, size_t stretchSize, uint32_t directoryOffset,
                    DirectoryContents* out) {
  *out = DirectoryContents();
  // A first walk counts the records, so the list is allocated once: a directory of many
  // entries then costs one allocation instead of a series of growing copies.
  size_t count = 0;
  bool cut = false;
  WalkRecords(stretch, stretchSize, &cut, [&count](size_t, size_t) { ++count; });
  out->records.reserve(count);

  const size_t end = WalkRecords(stretch, stretchSize, &cut, [&](size_t pos, size_t nameLength) {
    ArchiveRecord record;
    DecodeFixedFields(stretch + pos, &record);
    const RecordFault fault = CheckRecord(record, nameLength, directoryOffset);
    if (fault == RecordFault::kNone) {
      std::memcpy(record.name, stretch + pos + kRecordFixedSize, nameLength + 1);
      out->records.push_back(record);
    } else {
      NoteFault(out, fault, static_cast<uint64_t>(directoryOffset) + pos);
    }
  });
  // Where the next record would start is unknown: reading stops at the record that did not fit.
  if (cut) NoteFault(out, RecordFault::kEndsInsideRecord, static_cast<uint64_t>(directoryOffset) + end);
  out->endOffset = static_cast<uint64_t>(directoryOffset) + end;
}

void ReadArchive(ArchiveSource& source, ArchiveLayout* layout) {
  *layout = ArchiveLayout();
  if (!source.GetLength(&layout->fileLength)) {
    layout->result = ArchiveReadResult::kTrailerUnreadable;
    return;
  }
  const uint64_t length = layout->fileLength;
  auto noArchive = [layout, length]() {
    layout->result = ArchiveReadResult::kNoArchive;
    layout->payloadStart = static_cast<uint32_t>(length);
    layout->directoryOffset = static_cast<uint32_t>(length);
  };
  if (length < kArchiveTrailerSize) return noArchive();

  unsigned char trailer[kArchiveTrailerSize];
  size_t got = 0;
  if (!source.ReadAt(length - kArchiveTrailerSize, trailer, sizeof trailer, &got)) {
    layout->result = ArchiveReadResult::kTrailerUnreadable;
    return;
  }
  if (got != sizeof trailer) return noArchive();
  const uint32_t payloadStart = Get32(trailer);
  const uint32_t directoryOffset = Get32(trailer + 4);

  // A trailer that points past the end reads short and so compares unequal: no archive.
  unsigned char found[kArchiveMagicSize];
  unsigned char magic[kArchiveMagicSize];
  if (!source.ReadAt(directoryOffset, found, sizeof found, &got)) {
    layout->result = ArchiveReadResult::kTrailerUnreadable;
    return;
  }
  MakeDirectoryMagic(magic);
  if (got != sizeof found || std::memcmp(found, magic, sizeof magic) != 0) return noArchive();

  layout->payloadStart = payloadStart;
  layout->directoryOffset = directoryOffset;
  const uint64_t stretch64 = length - directoryOffset;
  if (stretch64 > static_cast<size_t>(-1)) {
    layout->result = ArchiveReadResult::kDirectoryUnreadable;
    return;
  }
  const size_t stretchSize = static_cast<size_t>(stretch64);
  unsigned char* stretch = new (std::nothrow) unsigned char[stretchSize];
  if (!stretch) {
    layout->result = ArchiveReadResult::kDirectoryUnreadable;
    return;
  }
  if (source.ReadAt(directoryOffset, stretch, stretchSize, &got) && got == stretchSize) {
    ParseDirectory(stretch, stretchSize, directoryOffset, &layout->directory);
    layout->result = ArchiveReadResult::kDirectory;
  } else {
    layout->result = ArchiveReadResult::kDirectoryUnreadable;
  }
  delete[] stretch;
}

// ---- ArchiveWriter ----

ArchiveWriter::ArchiveWriter(ByteSink& sink, uint64_t payloadStart)
    : sink_(sink), payloadStart_(payloadStart), position_(payloadStart) {}

int ArchiveWriter::Fail(const char* error) {
  state_ = State::kFailed;
  error_ = error;
  return 0;
}

int ArchiveWriter::Emit(const void* data, size_t size) {
  if (size && !sink_.Write(data, size)) return Fail("the archive could not be written");
  position_ += size;
  return 1;
}

int ArchiveWriter::Begin() {
  if (state_ != State::kNew) return Fail("the archive was begun twice");
  if (payloadStart_ + kArchiveBeginBlockSize > kMaxArchiveOffset) {
    return Fail("the executable is too large: offsets past 4 GiB cannot be recorded");
  }
  unsigned char block[kArchiveBeginBlockSize];
  MakeBeginBlock(block);
  if (!Emit(block, sizeof block)) return 0;
  state_ = State::kBetweenEntries;
  return 1;
}

int ArchiveWriter::BeginEntry(const char* name, uint64_t creationTime, uint64_t writeTime) {
  if (state_ != State::kBetweenEntries) return Fail("an entry was begun out of order");
  ArchiveRecord record;
  if (!name || !*name || !CopyText(record.name, sizeof record.name, name)) {
    return Fail("an entry name is empty or longer than 259 characters");
  }
  record.dataOffset = static_cast<uint32_t>(position_);
  record.creationTime = creationTime;
  record.writeTime = writeTime;
  records_.push_back(record);
  crcState_ = 0xFFFFFFFFu;
  state_ = State::kInEntry;
  return 1;
}

int ArchiveWriter::WriteEntryData(const void* data, size_t size) {
  if (state_ != State::kInEntry) return Fail("entry data was written outside an entry");
  // The end of the data is the directory's offset, which must fit the trailer's u32.
  if (size > kMaxArchiveOffset - position_) {
    return Fail("the archive is too large: offsets past 4 GiB cannot be recorded");
  }
  crcState_ = Crc32Update(crcState_, data, size);
  if (!Emit(data, size)) return 0;
  ArchiveRecord& record = records_.back();
  record.size += static_cast<uint32_t>(size);
  record.storedSize = record.size;
  return 1;
}

int ArchiveWriter::EndEntry() {
  if (state_ != State::kInEntry) return Fail("an entry was ended out of order");
  ArchiveRecord& record = records_.back();
  record.crc = ~crcState_;
  record.crcCopy = record.crc;
  state_ = State::kBetweenEntries;
  return 1;
}

int ArchiveWriter::Finish() {
  if (state_ != State::kBetweenEntries) return Fail("the archive was finished out of order");
  const uint32_t directoryOffset = static_cast<uint32_t>(position_);
  unsigned char magic[kArchiveMagicSize];
  MakeDirectoryMagic(magic);
  if (!Emit(magic, sizeof magic)) return 0;

  // Records go out in blocks of about 64 KiB: few writes, little memory.
  std::vector<unsigned char> block;
  block.reserve(64 * 1024 + kMaxRecordSize);
  for (const ArchiveRecord& record : records_) {
    const size_t offset = block.size();
    block.resize(offset + kMaxRecordSize);
    block.resize(offset + EncodeRecord(record, block.data() + offset));
    if (block.size() >= 64 * 1024) {
      if (!Emit(block.data(), block.size())) return 0;
      block.clear();
    }
  }
  unsigned char trailer[kArchiveTrailerSize];
  Put32(trailer, static_cast<uint32_t>(payloadStart_));
  Put32(trailer + 4, directoryOffset);
  block.insert(block.end(), trailer, trailer + sizeof trailer);
  if (!Emit(block.data(), block.size())) return 0;
  state_ = State::kFinished;
  return 1;
}
