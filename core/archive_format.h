// The payload archive appended behind the setup executable: its byte layout, the reading of
// an archive's trailer and directory, and the writer that the packer uses.
//
// File layout (E = file length, all integers little-endian):
//   [0, S)      the executable image; S, the payload start, is the image's length
//   S           begin block: the 12 characters of the begin mark and 4 zero bytes
//   S + 16      every entry's bytes, back to back, in directory order
//   D           directory magic: 16 characters, no terminator
//   D + 16      directory records, back to back
//   E - 8       u32 S, then u32 D (the trailer)
//
// Directory record (38 + n bytes):
//   0  u32 dataOffset    absolute offset of the entry's first byte
//   4  u8  storageFlag   0: stored as is (the only form the reader knows)
//   5  u32 storedSize    bytes read from the archive
//   9  u32 size          bytes of the extracted file, equal to storedSize
//   13 u32 crc           CRC-32 of the stored bytes
//   17 u32 crcCopy       the same value again
//   21 u64 creationTime  FILETIME applied as the extracted file's creation time
//   29 u64 writeTime     FILETIME applied as its last-access and last-write time
//   37 n+1 name          n ANSI characters and a zero byte
//
// The two marks are only ever assembled at run time from halves, so no executable that
// carries this code holds a mark in one piece that a reader could mistake for an archive.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr uint32_t kArchiveBeginBlockSize = 16;
constexpr uint32_t kArchiveMagicSize = 16;
constexpr uint32_t kArchiveTrailerSize = 8;
constexpr size_t kRecordFixedSize = 37;  // the fields in front of the name
constexpr size_t kEntryNameCapacity = 260;
constexpr size_t kMaxEntryNameLength = kEntryNameCapacity - 1;
constexpr size_t kMaxRecordSize = kRecordFixedSize + kEntryNameCapacity;
constexpr uint8_t kStoredAsIs = 0;
constexpr uint32_t kMaxArchiveOffset = 0xFFFFFFFFu;

// Fills `out` with the 16 bytes of the directory magic.
void MakeDirectoryMagic(unsigned char out[kArchiveMagicSize]);
// Fills `out` with the 16 bytes of the begin block (the begin mark and four zero bytes).
void MakeBeginBlock(unsigned char out[kArchiveBeginBlockSize]);

// One directory record. Times are Windows FILETIME values (100 ns units since 1601 UTC).
struct ArchiveRecord {
  uint32_t dataOffset = 0;
  uint8_t storageFlag = 0;
  uint32_t storedSize = 0;
  uint32_t size = 0;
  uint32_t crc = 0;
  uint32_t crcCopy = 0;
  uint64_t creationTime = 0;
  uint64_t writeTime = 0;
  char name[kEntryNameCapacity] = {};
};

// Writes the record's bytes to `out` (room for kMaxRecordSize) and returns their count, or 0
// when the name is empty or longer than kMaxEntryNameLength.
size_t EncodeRecord(const ArchiveRecord& record, unsigned char* out);

// ---- Reading ----

// Why a directory record was refused. A refused record is not part of the directory, so a
// lookup of its name fails as for any name the archive does not hold.
enum class RecordFault {
  kNone = 0,
  kEndsInsideRecord,    // the record's fields or name would reach into the trailer or past the
                        // end; where the next record starts is unknown, so reading stops here
  kNameTooLong,         // more than 259 characters: no 260-byte buffer can hold it
  kEmptyName,           // no lookup can ever name it
  kNotStoredAsIs,       // storageFlag != 0: a stored form the reader cannot unpack
  kSizeMismatch,        // storedSize != size: the read would not fill, or would overrun, the buffer
  kDataOutsidePayload,  // the entry's bytes do not lie in front of the directory magic
};

// A short text naming the fault, for messages of the tools.
const char* DescribeRecordFault(RecordFault fault);

struct DirectoryContents {
  std::vector<ArchiveRecord> records;  // the accepted records, in directory order
  size_t refusedRecords = 0;
  RecordFault firstFault = RecordFault::kNone;
  uint64_t firstFaultOffset = 0;  // absolute file offset of the first refused record
  uint64_t endOffset = 0;         // absolute file offset where reading stopped
};

// Reads the records of a directory. `stretch` holds the file's bytes from `directoryOffset`
// to the end of the file, magic and trailer included. Records are read from position 16 on
// while more than 35 bytes remain before the end of the file; a well-formed directory thus
// ends when only the 8 trailer bytes remain.
void ParseDirectory(const unsigned char* stretch, size_t stretchSize, uint32_t directoryOffset,
                    DirectoryContents* out);

// Random access to the bytes of a file that may carry an archive.
class ArchiveSource {
 public:
  virtual ~ArchiveSource() = default;
  // Stores the file's length; 0 on an I/O error.
  virtual int GetLength(uint64_t* length) = 0;
  // Reads up to `size` bytes at `offset` and stores the count read in *got, which is short
  // only at the end of the file. Returns 0 on an I/O error.
  virtual int ReadAt(uint64_t offset, void* buffer, size_t size, size_t* got) = 0;
};

enum class ArchiveReadResult {
  kDirectory,            // the directory magic was found and the directory read
  kNoArchive,            // the file carries no archive: a foreign file, too short for a
                         // trailer, or a trailer that points elsewhere (an empty archive)
  kTrailerUnreadable,    // the length, trailer or magic could not be read (I/O error)
  kDirectoryUnreadable,  // the directory could not be held in memory or read
};

struct ArchiveLayout {
  ArchiveReadResult result = ArchiveReadResult::kNoArchive;
  uint64_t fileLength = 0;
  // The trailer values; both are the file length (its low 32 bits) when there is no archive.
  uint32_t payloadStart = 0;
  uint32_t directoryOffset = 0;
  DirectoryContents directory;
};

// Reads the trailer, checks the directory magic at the offset it names, and reads the
// directory. `layout` is filled in for every result.
void ReadArchive(ArchiveSource& source, ArchiveLayout* layout);

// ---- Writing ----

// Receives an archive's bytes in order. Write returns 0 when the bytes could not be taken.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual int Write(const void* data, size_t size) = 0;
};

// Appends an archive behind an executable image that is already in the sink:
//   Begin, then per entry BeginEntry, WriteEntryData (any number of chunks), EndEntry,
//   and finally Finish.
// The writer computes each entry's CRC while its bytes pass. It takes the entries in the
// order given; order and uniqueness of names are the caller's rules. Each call returns
// non-zero on success; after a failure Error() says why and every later call fails.
class ArchiveWriter {
 public:
  ArchiveWriter(ByteSink& sink, uint64_t payloadStart);
  int Begin();
  int BeginEntry(const char* name, uint64_t creationTime, uint64_t writeTime);
  int WriteEntryData(const void* data, size_t size);
  int EndEntry();
  int Finish();

  const char* Error() const { return error_; }
  // Offset of the next byte to be written.
  uint64_t Position() const { return position_; }
  const std::vector<ArchiveRecord>& Records() const { return records_; }

 private:
  int Fail(const char* error);
  int Emit(const void* data, size_t size);

  enum class State { kNew, kBetweenEntries, kInEntry, kFinished, kFailed };
  ByteSink& sink_;
  uint64_t payloadStart_;
  uint64_t position_;
  uint32_t crcState_ = 0;
  State state_ = State::kNew;
  const char* error_ = "";
  std::vector<ArchiveRecord> records_;
};
