// The payload archive against hand-built images: the reader's trailer and directory rules at
// their edges, the writer read back byte for byte, and the release tools' strict checks.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "core/archive_check.h"
#include "core/archive_format.h"
#include "tests/native/archive_images.h"

namespace {

using images::MemorySource;
using images::Record;

const std::string kImage = "MZ" + std::string(0x3FE, '\x90');
const std::vector<images::Entry> kEntries = {
    {"a.NWP", "profile a"}, {"B.nwp", "profile b"}, {"Empty.txt", ""}, {"Setup.cnf", "[AddFile]\r\n"}};

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

// Records as given (their data need not exist), the directory at 0x1000, payload start 0x400.
std::string WithRecords(const std::vector<Record>& records, const std::string& afterRecords = "") {
  std::string front = kImage;
  front.resize(0x1000, 'd');
  return images::Assemble(front, records, 0x400, afterRecords);
}

Record Good(const std::string& name, uint32_t offset = 0x410, uint32_t size = 10) {
  Record r;
  r.dataOffset = offset;
  r.storedSize = r.size = size;
  r.crc = r.crcCopy = 0x12345678;
  r.name = name;
  return r;
}

TEST(ReadArchive, AWellFormedArchiveGivesEveryRecordWithItsFields) {
  std::vector<Record> written;
  const std::string bytes = images::Packed(kImage, kEntries, &written);
  const ArchiveLayout layout = Read(bytes);
  ASSERT_EQ(layout.result, ArchiveReadResult::kDirectory);
  EXPECT_EQ(layout.fileLength, bytes.size());
  EXPECT_EQ(layout.payloadStart, kImage.size());
  EXPECT_EQ(layout.directoryOffset, kImage.size() + 16 + 29);
  EXPECT_EQ(layout.directory.endOffset, bytes.size() - 8);
  EXPECT_EQ(layout.directory.refusedRecords, 0u);
  ASSERT_EQ(layout.directory.records.size(), written.size());
  for (size_t i = 0; i < written.size(); ++i) {
    const ArchiveRecord& r = layout.directory.records[i];
    const Record& w = written[i];
    EXPECT_EQ(r.name, w.name);
    EXPECT_EQ(std::make_tuple(r.dataOffset, r.storageFlag, r.storedSize, r.size, r.crc, r.crcCopy),
              std::make_tuple(w.dataOffset, w.storageFlag, w.storedSize, w.size, w.crc, w.crcCopy));
    EXPECT_EQ(std::make_pair(r.creationTime, r.writeTime), std::make_pair(w.creationTime, w.writeTime));
  }
}

TEST(ReadArchive, FilesWithoutAnArchiveReadAsNoArchiveAtTheirLength) {
  const std::string packed = images::Packed(kImage, {{"Setup.cnf", "x"}});
  std::string wrongCase = packed;
  wrongCase[packed.size() - 8 - (37 + 10) - 16] = 'q';  // the magic is compared with case
  std::string pastTheEnd = packed;
  pastTheEnd.back() = '\x01';
  std::string atTheEdge = packed;  // the 16 magic bytes would run past the end
  atTheEdge.resize(packed.size() - 4);
  images::Put(atTheEdge, packed.size() - 15, 4);
  const std::pair<const char*, std::string> cases[] = {
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
  for (const auto& [what, bytes] : cases) {
    SCOPED_TRACE(what);
    const ArchiveLayout layout = Read(bytes);
    EXPECT_EQ(layout.result, ArchiveReadResult::kNoArchive);
    EXPECT_EQ(layout.payloadStart, bytes.size());
    EXPECT_EQ(layout.directoryOffset, bytes.size());
    EXPECT_TRUE(layout.directory.records.empty());
  }
}

TEST(ReadArchive, ReadErrorsAreToldApartFromMissingArchives) {
  const std::string packed = images::Packed(kImage, {{"Setup.cnf", "x"}});
  const uint64_t directory = kImage.size() + 16 + 1;
  const std::tuple<bool, uint64_t, ArchiveReadResult> cases[] = {
      {true, UINT64_MAX, ArchiveReadResult::kTrailerUnreadable},       // the length
      {false, packed.size() - 4, ArchiveReadResult::kTrailerUnreadable},
      {false, directory + 8, ArchiveReadResult::kTrailerUnreadable},   // the magic
      {false, directory + 20, ArchiveReadResult::kDirectoryUnreadable},  // the records
  };
  for (const auto& [failLength, failReadsAt, result] : cases) {
    SCOPED_TRACE(failReadsAt);
    MemorySource source(packed);
    source.failLength = failLength;
    source.failReadsAt = failReadsAt;
    ArchiveLayout layout;
    ReadArchive(source, &layout);
    EXPECT_EQ(layout.result, result);
    EXPECT_TRUE(layout.directory.records.empty());
  }
}

// A record is read while more than 35 bytes remain in front of the trailer; one that does not
// end in front of the trailer stops the reading.
TEST(ParseDirectory, TheLoopRuleAndRecordsThatEndInsideTheTrailer) {
  Record unterminated = Good("Cut.bin");
  unterminated.terminated = false;
  const std::string intoTrailer = images::RecordBytes(Good("B.bin")).substr(0, 40);
  const std::tuple<const char*, std::vector<Record>, std::string, size_t, RecordFault> cases[] = {
      {"no records", {}, "", 0, RecordFault::kNone},
      {"27 stray bytes: 35 remain", {Good("A.bin")}, std::string(27, 'z'), 1, RecordFault::kNone},
      {"28 stray bytes: 36 remain", {Good("A.bin")}, std::string(28, 'z'), 1, RecordFault::kEndsInsideRecord},
      {"name without its zero byte", {Good("A.bin"), unterminated}, "", 1, RecordFault::kEndsInsideRecord},
      {"record reaching into the trailer", {Good("A.bin")}, intoTrailer, 1, RecordFault::kEndsInsideRecord},
  };
  for (const auto& [what, records, after, count, fault] : cases) {
    SCOPED_TRACE(what);
    const ArchiveLayout layout = Read(WithRecords(records, after));
    ASSERT_EQ(layout.result, ArchiveReadResult::kDirectory);
    EXPECT_EQ(layout.directory.records.size(), count);
    EXPECT_EQ(layout.directory.firstFault, fault);
  }
}

// Records the reader cannot use are left out; the ones behind them are still read.
TEST(ParseDirectory, RefusedRecordsAreLeftOutAndReadingGoesOn) {
  Record flagged = Good("Packed.bin");
  flagged.storageFlag = 1;
  Record sizes = Good("Big.bin");
  sizes.storedSize = 11;
  Record crcCopy = Good("Crc.bin");
  crcCopy.crcCopy = 1;  // the reader does not compare the copy
  const std::tuple<const char*, Record, RecordFault> cases[] = {
      {"name of 259 characters", Good(std::string(259, 'n')), RecordFault::kNone},
      {"name of 260 characters", Good(std::string(260, 'n')), RecordFault::kNameTooLong},
      {"name of 300 characters", Good(std::string(300, 'n')), RecordFault::kNameTooLong},
      {"empty name", Good(""), RecordFault::kEmptyName},
      {"zero-length entry", Good("Empty.txt", 0x410, 0), RecordFault::kNone},
      {"zero-length entry at the directory", Good("Empty.txt", 0x1000, 0), RecordFault::kNone},
      {"data ending at the directory", Good("Last.bin", 0x1000 - 10, 10), RecordFault::kNone},
      {"storage flag 1", flagged, RecordFault::kNotStoredAsIs},
      {"stored size differs from size", sizes, RecordFault::kSizeMismatch},
      {"data running into the directory", Good("Over.bin", 0x1000 - 9, 10), RecordFault::kDataOutsidePayload},
      {"offset past the end of the file", Good("Far.bin", 0x7FFFFFF0, 10), RecordFault::kDataOutsidePayload},
      {"offset and size passing 4 GiB", Good("Wrap.bin", 0xFFFFFFF0u, 0x20), RecordFault::kDataOutsidePayload},
      {"crc copy differs", crcCopy, RecordFault::kNone},
  };
  for (const auto& [what, record, fault] : cases) {
    SCOPED_TRACE(what);
    const std::string bytes = WithRecords({Good("First.bin"), record, Good("Third.bin")});
    const ArchiveLayout layout = Read(bytes);
    ASSERT_EQ(layout.result, ArchiveReadResult::kDirectory);
    EXPECT_EQ(layout.directory.endOffset, bytes.size() - 8);
    EXPECT_EQ(layout.directory.firstFault, fault);
    const bool refused = fault != RecordFault::kNone;
    std::vector<std::string> names = {"First.bin", "Third.bin"};
    if (!refused) names.insert(names.begin() + 1, record.name);
    EXPECT_EQ(Names(layout), names);
    EXPECT_EQ(layout.directory.refusedRecords, refused ? 1u : 0u);
    if (refused) {
      EXPECT_EQ(layout.directory.firstFaultOffset, 0x1000u + 16 + 38 + 9);
    }
  }
  // The reader has no uniqueness rule: names differing only in case are both kept.
  EXPECT_EQ(Names(Read(WithRecords({Good("Setup.cnf"), Good("SETUP.CNF")}))),
            (std::vector<std::string>{"Setup.cnf", "SETUP.CNF"}));
}

TEST(ArchiveWriter, WritesWhatTheHandBuiltImageHolds) {
  std::vector<Record> records;
  const std::string expected = images::Packed(kImage, kEntries, &records);
  images::StringSink sink;
  sink.bytes = kImage;
  ArchiveWriter writer(sink, kImage.size());
  ASSERT_EQ(writer.Begin(), 1);
  for (size_t i = 0; i < kEntries.size(); ++i) {
    ASSERT_EQ(writer.BeginEntry(kEntries[i].name.c_str(), records[i].creationTime, records[i].writeTime), 1);
    for (char c : kEntries[i].data) ASSERT_EQ(writer.WriteEntryData(&c, 1), 1);  // the CRC runs on
    ASSERT_EQ(writer.EndEntry(), 1);
  }
  ASSERT_EQ(writer.Finish(), 1);
  EXPECT_EQ(sink.bytes, expected);

  images::StringSink failing;
  failing.failAfter = 40;
  ArchiveWriter broken(failing, 0);
  ASSERT_EQ(broken.Begin() && broken.BeginEntry("a", 0, 0), 1);
  EXPECT_EQ(broken.WriteEntryData("0123456789012345678901234567890", 31), 0);
  EXPECT_EQ(broken.EndEntry() || broken.Finish(), 0);
}

// Counts bytes without keeping them: archives near the 4 GiB limit cost no memory.
class CountingSink : public ByteSink {
 public:
  int Write(const void*, size_t) override { return 1; }
};

TEST(ArchiveWriter, RefusesWhatTheReaderCouldNotRead) {
  const std::string name259(259, 'n');
  const std::string name260(260, 'n');
  const std::tuple<const char*, uint64_t, const char*, size_t, int, int, int> cases[] = {
      {"name of 259 characters", 0x400, name259.c_str(), 1, 1, 1, 1},
      {"name of 260 characters", 0x400, name260.c_str(), 1, 1, 0, 0},
      {"empty name", 0x400, "", 1, 1, 0, 0},
      {"data up to the last u32 offset", 0xFFFFFFF0u - 16, "a", 0xF, 1, 1, 1},
      {"data one byte past it", 0xFFFFFFF0u - 16, "a", 0x10, 1, 1, 0},
      {"executable too large", 0xFFFFFFF0u, "a", 0, 0, 0, 0},
  };
  for (const auto& [what, payloadStart, name, dataSize, beginOk, entryOk, dataOk] : cases) {
    SCOPED_TRACE(what);
    CountingSink sink;
    ArchiveWriter writer(sink, payloadStart);
    EXPECT_EQ(writer.Begin(), beginOk);
    EXPECT_EQ(writer.BeginEntry(name, 0, 0), entryOk);
    const std::vector<char> data(dataSize);
    EXPECT_EQ(writer.WriteEntryData(data.data(), data.size()), dataOk);
    EXPECT_EQ(writer.EndEntry() && writer.Finish(), dataOk);
    if (!dataOk) {
      EXPECT_STRNE(writer.Error(), "");
    }
  }
}

// The first failing strict check's message, or "" when the archive is sound.
std::string Fault(const std::string& bytes) {
  MemorySource source(bytes);
  ArchiveLayout layout;
  ReadArchive(source, &layout);
  char message[512] = "";
  if (CheckArchiveStructure(source, layout, message, sizeof message) &&
      CheckEntryCrcs(source, layout, message, sizeof message)) {
    return "";
  }
  EXPECT_STRNE(message, "");
  return message;
}

// The packed entries with their records changed, `extra` bytes in front of
// the magic and `stray` bytes in front of the trailer.
std::string Rebuild(const std::function<void(std::vector<Record>&)>& change, const std::string& extra = "",
                    const std::string& stray = "", uint32_t payloadStart = 0x400) {
  std::vector<Record> records;
  const std::string packed = images::Packed(kImage, kEntries, &records);
  const std::string front = packed.substr(0, records.back().dataOffset + records.back().size);
  change(records);
  return images::Assemble(front + extra, records, payloadStart, stray);
}

TEST(ArchiveCheck, EachDepartureFromThePackersLayoutIsNamed) {
  const auto same = [](std::vector<Record>&) {};
  EXPECT_EQ(Fault(images::Packed(kImage, kEntries)), "");
  EXPECT_EQ(Fault(images::Packed(kImage, {})), "");
  EXPECT_EQ(Fault(Rebuild(same)), "");
  std::string noBeginBlock = Rebuild(same);
  noBeginBlock[0x400 + 3] = 'f';
  const std::pair<std::string, const char*> cases[] = {
      {kImage, "carries no archive"},
      {Rebuild([](auto& r) { r[1].crcCopy ^= 1; }), "entry 'B.nwp': the CRC copy"},
      {Rebuild([](auto& r) { std::swap(r[0].name, r[1].name); }), "entry 'a.NWP': out of order after 'B.nwp'"},
      {Rebuild([](auto& r) { r[1].name = "A.nwp"; }), "entry 'A.nwp': the name is not unique"},
      {Rebuild([](auto& r) {
         r[1].dataOffset += 1;
         r[1].storedSize = r[1].size -= 1;
       }),
       "entry 'B.nwp': data at offset"},
      {Rebuild([](auto& r) { r[2].storageFlag = 1; }), "storage flag is not 0"},
      {Rebuild([](auto& r) { r[3].name = std::string(260, 'z'); }), "longer than 259"},
      {noBeginBlock, "no begin block at the payload start 1024"},
      {Rebuild(same, "", "", 0x10000), "leaves no room for the begin block"},
      {Rebuild(same, "xy"), "does not follow the last entry's data"},
      {Rebuild(same, "", "12345"), "the trailer does not follow the last record"},
  };
  for (const auto& [bytes, message] : cases) {
    SCOPED_TRACE(message);
    EXPECT_NE(Fault(bytes).find(message), std::string::npos) << Fault(bytes);
  }
}

TEST(ArchiveCheck, AFlippedDataByteFailsTheCrcOfItsEntry) {
  std::vector<Record> records;
  const std::string packed = images::Packed(kImage, kEntries, &records);
  for (const Record& r : records) {
    if (r.size == 0) continue;
    std::string bytes = packed;
    bytes[r.dataOffset + r.size - 1] ^= 0x20;
    EXPECT_NE(Fault(bytes).find("entry '" + r.name + "': CRC mismatch"), std::string::npos) << r.name;
  }
}

}  // namespace
