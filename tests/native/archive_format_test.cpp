// The archive's trailer and directory as the setup reads them, against hand-built images:
// files without an archive, truncated and misdirected trailers, the reader's loop rule at its
// edges, and every kind of record the reader refuses. Then the writer, read back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/archive_format.h"
#include "core/crc32.h"
#include "tests/native/archive_images.h"

namespace {

using images::MemorySource;
using images::Record;

const std::string kImage = "MZ" + std::string(0x3FE, '\x90');

// A packed file with records written as given (data need not exist), the trailer naming
// payload start 0x400 and the directory at 0x1000.
std::string WithRecords(const std::vector<Record>& records, const std::string& afterRecords = "") {
  std::string front = kImage;
  front.resize(0x1000, 'd');
  return images::Assemble(front, records, 0x400, afterRecords);
}

Record Good(const char* name, uint32_t offset = 0x410, uint32_t size = 10) {
  Record r;
  r.dataOffset = offset;
  r.storedSize = r.size = size;
  r.crc = r.crcCopy = 0x12345678;
  r.name = name;
  return r;
}

ArchiveLayout Read(const std::string& bytes) {
  MemorySource source(bytes);
  ArchiveLayout layout;
  ReadArchive(source, &layout);
  return layout;
}

std::vector<std::string> Names(const ArchiveLayout& layout) {
  std::vector<std::string> names;
  for (const ArchiveRecord& r : layout.directory.records) names.push_back(r.name);
  return names;
}

TEST(ReadArchive, AWellFormedArchiveGivesEveryRecordWithItsFields) {
  std::vector<Record> written;
  const std::string bytes = images::Packed(kImage, {{"Empty.txt", ""}, {"Setup.cnf", "[AddFile]\r\n"}}, &written);
  const ArchiveLayout layout = Read(bytes);
  ASSERT_EQ(layout.result, ArchiveReadResult::kDirectory);
  EXPECT_EQ(layout.fileLength, bytes.size());
  EXPECT_EQ(layout.payloadStart, kImage.size());
  EXPECT_EQ(layout.directoryOffset, kImage.size() + 16 + 11);
  EXPECT_EQ(layout.directory.refusedRecords, 0u);
  EXPECT_EQ(layout.directory.endOffset, bytes.size() - 8);
  ASSERT_EQ(layout.directory.records.size(), 2u);
  for (size_t i = 0; i < written.size(); ++i) {
    const ArchiveRecord& r = layout.directory.records[i];
    EXPECT_STREQ(r.name, written[i].name.c_str());
    EXPECT_EQ(r.dataOffset, written[i].dataOffset);
    EXPECT_EQ(r.storageFlag, 0);
    EXPECT_EQ(r.storedSize, written[i].storedSize);
    EXPECT_EQ(r.size, written[i].size);
    EXPECT_EQ(r.crc, written[i].crc);
    EXPECT_EQ(r.crcCopy, written[i].crcCopy);
    EXPECT_EQ(r.creationTime, written[i].creationTime);
    EXPECT_EQ(r.writeTime, written[i].writeTime);
  }
}

TEST(ReadArchive, FilesWithoutAnArchiveReadAsNoArchiveAtTheirLength) {
  const std::string packed = images::Packed(kImage, {{"Setup.cnf", "x"}});
  std::string wrongCase = packed;
  wrongCase[packed.size() - 8 - (38 + 9) - 16] = 'q';  // "qorFilenameBegin": compared with case
  std::string pastTheEnd = packed;
  pastTheEnd[pastTheEnd.size() - 1] = '\x01';  // D beyond the end of the file
  std::string atTheEdge = packed;
  const uint32_t edge = static_cast<uint32_t>(packed.size() - 15);  // 16 bytes at D run past the end
  atTheEdge.replace(atTheEdge.size() - 4, 4, std::string(reinterpret_cast<const char*>(&edge), 4));

  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"empty file", ""},
      {"shorter than a trailer", std::string("MZ\x90\x00\x03\x00\x00", 7)},
      {"only a trailer, pointing at itself", std::string(8, '\0')},
      {"an executable without payload", kImage},
      {"trailer points past the end", pastTheEnd},
      {"magic read would run past the end", atTheEdge},
      {"magic differs in case", wrongCase},
      {"last byte cut off", packed.substr(0, packed.size() - 1)},
      {"trailer cut off", packed.substr(0, packed.size() - 8)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ArchiveLayout layout = Read(c.bytes);
    EXPECT_EQ(layout.result, ArchiveReadResult::kNoArchive);
    EXPECT_EQ(layout.payloadStart, c.bytes.size());
    EXPECT_EQ(layout.directoryOffset, c.bytes.size());
    EXPECT_TRUE(layout.directory.records.empty());
  }
}

TEST(ReadArchive, ReadErrorsAreToldApartFromMissingArchives) {
  const std::string packed = images::Packed(kImage, {{"Setup.cnf", "x"}});
  const uint64_t directoryOffset = kImage.size() + 16 + 1;
  struct Case {
    const char* what;
    bool failLength;
    uint64_t failReadsAt;
    ArchiveReadResult result;
  };
  const Case cases[] = {
      {"length unknown", true, UINT64_MAX, ArchiveReadResult::kTrailerUnreadable},
      {"trailer unreadable", false, packed.size() - 4, ArchiveReadResult::kTrailerUnreadable},
      {"magic unreadable", false, directoryOffset + 8, ArchiveReadResult::kTrailerUnreadable},
      {"records unreadable", false, directoryOffset + 20, ArchiveReadResult::kDirectoryUnreadable},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemorySource source(packed);
    source.failLength = c.failLength;
    source.failReadsAt = c.failReadsAt;
    ArchiveLayout layout;
    ReadArchive(source, &layout);
    EXPECT_EQ(layout.result, c.result);
    EXPECT_TRUE(layout.directory.records.empty());
  }
}

// The loop reads a record while more than 35 bytes remain before the end of the file. With
// fewer, stray bytes in front of the trailer are left alone; with more, they must form a
// whole record in front of the trailer or the reading stops there.
TEST(ParseDirectory, TheLoopRuleAndRecordsThatEndInsideTheTrailer) {
  Record unterminated = Good("Cut.bin");
  unterminated.terminated = false;
  struct Case {
    const char* what;
    std::vector<Record> records;
    std::string after;
    std::vector<std::string> names;
    RecordFault fault;
  };
  const Case cases[] = {
      {"no records", {}, "", {}, RecordFault::kNone},
      {"27 stray bytes: 35 remain, the loop ends", {Good("A.bin")}, std::string(27, 'z'), {"A.bin"}, RecordFault::kNone},
      {"28 stray bytes: 36 remain, a record is due", {Good("A.bin")}, std::string(28, 'z'), {"A.bin"},
       RecordFault::kEndsInsideRecord},
      {"name without its zero byte", {Good("A.bin"), unterminated}, "", {"A.bin"}, RecordFault::kEndsInsideRecord},
      {"record reaching into the trailer", {Good("A.bin")}, images::RecordBytes(Good("B.bin")).substr(0, 40), {"A.bin"},
       RecordFault::kEndsInsideRecord},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ArchiveLayout layout = Read(WithRecords(c.records, c.after));
    ASSERT_EQ(layout.result, ArchiveReadResult::kDirectory);
    EXPECT_EQ(Names(layout), c.names);
    EXPECT_EQ(layout.directory.firstFault, c.fault);
  }
}

// Records the reader cannot use are left out; the ones behind them are still read.
TEST(ParseDirectory, RefusedRecordsAreLeftOutAndReadingGoesOn) {
  auto with = [](Record r, void (*change)(Record&)) {
    change(r);
    return r;
  };
  struct Case {
    const char* what;
    Record record;
    RecordFault fault;  // kNone: accepted
  };
  const Case cases[] = {
      {"name of 259 characters", Good(std::string(259, 'n').c_str()), RecordFault::kNone},
      {"name of 260 characters", Good(std::string(260, 'n').c_str()), RecordFault::kNameTooLong},
      {"name of 300 characters", Good(std::string(300, 'n').c_str()), RecordFault::kNameTooLong},
      {"empty name", Good(""), RecordFault::kEmptyName},
      {"zero-length entry", Good("Empty.txt", 0x410, 0), RecordFault::kNone},
      {"zero-length entry right at the directory", Good("Empty.txt", 0x1000, 0), RecordFault::kNone},
      {"data ending at the directory", Good("Last.bin", 0x1000 - 10, 10), RecordFault::kNone},
      {"storage flag 1", with(Good("Packed.bin"), [](Record& r) { r.storageFlag = 1; }), RecordFault::kNotStoredAsIs},
      {"stored size above size", with(Good("Big.bin"), [](Record& r) { r.storedSize = 11; }), RecordFault::kSizeMismatch},
      {"stored size below size", with(Good("Small.bin"), [](Record& r) { r.size = 11; }), RecordFault::kSizeMismatch},
      {"data running into the directory", Good("Over.bin", 0x1000 - 9, 10), RecordFault::kDataOutsidePayload},
      {"offset past the end of the file", Good("Far.bin", 0x7FFFFFF0, 10), RecordFault::kDataOutsidePayload},
      {"offset and size passing 4 GiB", Good("Wrap.bin", 0xFFFFFFF0u, 0x20), RecordFault::kDataOutsidePayload},
      {"crc copy differs (the reader does not care)", with(Good("Crc.bin"), [](Record& r) { r.crcCopy = 1; }),
       RecordFault::kNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string bytes = WithRecords({Good("First.bin"), c.record, Good("Third.bin")});
    const ArchiveLayout layout = Read(bytes);
    ASSERT_EQ(layout.result, ArchiveReadResult::kDirectory);
    EXPECT_EQ(layout.directory.endOffset, bytes.size() - 8);
    EXPECT_EQ(layout.directory.firstFault, c.fault);
    if (c.fault == RecordFault::kNone) {
      ASSERT_EQ(layout.directory.records.size(), 3u);
      EXPECT_EQ(std::string(layout.directory.records[1].name), c.record.name);
      EXPECT_EQ(layout.directory.refusedRecords, 0u);
    } else {
      EXPECT_EQ(Names(layout), (std::vector<std::string>{"First.bin", "Third.bin"}));
      EXPECT_EQ(layout.directory.refusedRecords, 1u);
      EXPECT_EQ(layout.directory.firstFaultOffset, 0x1000u + 16 + 38 + 9);
    }
  }
}

TEST(ParseDirectory, NamesDifferingOnlyInCaseAreBothKept) {
  // The reader has no uniqueness rule; the first of them wins every lookup.
  const ArchiveLayout layout = Read(WithRecords({Good("Setup.cnf"), Good("SETUP.CNF")}));
  EXPECT_EQ(Names(layout), (std::vector<std::string>{"Setup.cnf", "SETUP.CNF"}));
}

// ---- Writer ----

// Counts bytes without keeping them: archives near the 4 GiB limit cost no memory.
class CountingSink : public ByteSink {
 public:
  uint64_t count = 0;
  int Write(const void*, size_t size) override {
    count += size;
    return 1;
  }
};

TEST(ArchiveWriter, WritesWhatTheHandBuiltImageHolds) {
  const std::vector<images::Entry> entries = {{"Empty.txt", ""}, {"Setup.cnf", "[AddFile]\r\n"}, {"x.bin", "\0\1\2"}};
  std::vector<Record> records;
  const std::string expected = images::Packed(kImage, entries, &records);

  images::StringSink sink;
  sink.bytes = kImage;
  ArchiveWriter writer(sink, kImage.size());
  ASSERT_EQ(writer.Begin(), 1);
  for (size_t i = 0; i < entries.size(); ++i) {
    ASSERT_EQ(writer.BeginEntry(entries[i].name.c_str(), records[i].creationTime, records[i].writeTime), 1);
    // Byte by byte: the CRC runs across the chunks.
    for (char c : entries[i].data) ASSERT_EQ(writer.WriteEntryData(&c, 1), 1);
    ASSERT_EQ(writer.EndEntry(), 1);
  }
  ASSERT_EQ(writer.Finish(), 1);
  EXPECT_EQ(sink.bytes, expected);
}

TEST(ArchiveWriter, RefusesWhatTheReaderCouldNotRead) {
  struct Case {
    const char* what;
    uint64_t payloadStart;
    const char* name;
    uint64_t dataSize;
    int beginOk, entryOk, dataOk;
  };
  const std::string name260(260, 'n');
  const std::string name259(259, 'n');
  const Case cases[] = {
      {"name of 259 characters", 0x400, name259.c_str(), 1, 1, 1, 1},
      {"name of 260 characters", 0x400, name260.c_str(), 1, 1, 0, 0},
      {"empty name", 0x400, "", 1, 1, 0, 0},
      {"data up to the last u32 offset", 0xFFFFFFF0u - 16, "a", 0xF, 1, 1, 1},
      {"data one byte past it", 0xFFFFFFF0u - 16, "a", 0x10, 1, 1, 0},
      {"executable too large", 0xFFFFFFF0u, "a", 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CountingSink sink;
    ArchiveWriter writer(sink, c.payloadStart);
    EXPECT_EQ(writer.Begin(), c.beginOk);
    EXPECT_EQ(writer.BeginEntry(c.name, 0, 0), c.entryOk);
    std::vector<char> data(static_cast<size_t>(c.dataSize));
    EXPECT_EQ(writer.WriteEntryData(data.data(), data.size()), c.dataOk);
    if (!c.dataOk) {
      EXPECT_NE(std::string(writer.Error()), "");
    }
    EXPECT_EQ(writer.EndEntry() && writer.Finish(), c.dataOk);
  }
}

TEST(ArchiveWriter, ASinkThatFailsFailsTheArchive) {
  images::StringSink sink;
  sink.failAfter = 40;
  ArchiveWriter writer(sink, 0);
  ASSERT_EQ(writer.Begin(), 1);
  ASSERT_EQ(writer.BeginEntry("a", 0, 0), 1);
  EXPECT_EQ(writer.WriteEntryData("0123456789012345678901234567890", 31), 0);
  EXPECT_EQ(writer.EndEntry(), 0);
  EXPECT_EQ(writer.Finish(), 0);
}

}  // namespace
