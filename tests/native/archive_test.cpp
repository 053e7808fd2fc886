// The payload archive against hand-built images: the reader's trailer and directory rules at
// their edges, the writer byte for byte and at its limits, and the release tools' strict checks.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "core/archive_check.h"
#include "core/archive_format.h"
#include "tests/native/archive_images.h"

namespace {

using images::Record;

const std::string kImage = "MZ" + std::string(0x3FE, '\x90');
const std::vector<images::Entry> kEntries = {
    {"a.NWP", "profile a"}, {"B.nwp", "profile b"}, {"Empty.txt", ""}, {"Setup.cnf", "[AddFile]\r\n"}};

ArchiveLayout Read(const std::string& bytes, uint64_t failReadsAt = UINT64_MAX) {
  images::MemorySource source(bytes);
  source.failReadsAt = failReadsAt;
  ArchiveLayout layout;
  ReadArchive(source, &layout);
  return layout;
}

std::string Names(const ArchiveLayout& layout) {
  std::string names;
  for (const ArchiveRecord& r : layout.directory.records) names += std::string(r.name) + " ";
  return names;
}

// Records as given (their data need not exist), the directory at 0x1000, payload start 0x400.
std::string WithRecords(const std::vector<Record>& records, const std::string& afterRecords = "") {
  std::string front = kImage;
  front.resize(0x1000, 'd');
  return images::Assemble(front, records, 0x400, afterRecords);
}

Record Good(const std::string& name, uint32_t offset = 0x410, uint32_t size = 10, uint8_t flag = 0) {
  Record r;
  r.dataOffset = offset;
  r.storageFlag = flag;
  r.storedSize = r.size = size;
  r.crc = r.crcCopy = 0x12345678;
  r.name = name;
  return r;
}

// The writer's output is the hand-built image, and the reader gives back every field of it.
TEST(Archive, TheWriterWritesAndTheReaderReadsTheHandBuiltImage) {
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

  const ArchiveLayout layout = Read(expected);
  ASSERT_EQ(layout.result, ArchiveReadResult::kDirectory);
  EXPECT_EQ(std::make_tuple(layout.fileLength, layout.payloadStart, layout.directoryOffset, layout.directory.endOffset),
            std::make_tuple(expected.size(), kImage.size(), kImage.size() + 16 + 29, expected.size() - 8));
  ASSERT_EQ(layout.directory.records.size(), records.size());
  for (size_t i = 0; i < records.size(); ++i) {
    const ArchiveRecord& r = layout.directory.records[i];
    const Record& w = records[i];
    EXPECT_EQ(std::make_tuple(std::string(r.name), r.dataOffset, r.storageFlag, r.storedSize, r.size, r.crc),
              std::make_tuple(w.name, w.dataOffset, w.storageFlag, w.storedSize, w.size, w.crc));
    EXPECT_EQ(std::make_tuple(r.crcCopy, r.creationTime, r.writeTime),
              std::make_tuple(w.crcCopy, w.creationTime, w.writeTime));
  }
}

// No archive: the whole file is the image. A read error is told apart from that.
TEST(Archive, FilesWithoutAnArchiveAndReadErrors) {
  const std::string packed = images::Packed(kImage, {{"Setup.cnf", "x"}});
  std::string wrongCase = packed;
  wrongCase[packed.size() - 8 - (37 + 10) - 16] = 'q';  // the magic is compared with case
  std::string pastTheEnd = packed;
  pastTheEnd.back() = '\x01';
  std::string atTheEdge = packed.substr(0, packed.size() - 4);  // the magic would run past the end
  images::Put(atTheEdge, packed.size() - 15, 4);
  for (const std::string& bytes : {std::string(), std::string("MZ\x90\x00\x03\x00\x00", 7), std::string(8, '\0'),
                                   kImage, pastTheEnd, atTheEdge, wrongCase, packed.substr(0, packed.size() - 1),
                                   packed.substr(0, packed.size() - 8)}) {
    const ArchiveLayout layout = Read(bytes);
    EXPECT_EQ(layout.result, ArchiveReadResult::kNoArchive) << bytes.size();
    EXPECT_EQ(layout.payloadStart, bytes.size());
    EXPECT_EQ(layout.directoryOffset, bytes.size());
    EXPECT_EQ(Names(layout), "");
  }
  const uint64_t directory = kImage.size() + 16 + 1;
  const std::pair<uint64_t, ArchiveReadResult> failures[] = {
      {images::MemorySource::kLength, ArchiveReadResult::kTrailerUnreadable},
      {packed.size() - 4, ArchiveReadResult::kTrailerUnreadable},
      {directory + 8, ArchiveReadResult::kTrailerUnreadable},  // the magic
      {directory + 20, ArchiveReadResult::kDirectoryUnreadable},
  };
  for (const auto& [failReadsAt, result] : failures) {
    EXPECT_EQ(Read(packed, failReadsAt).result, result) << failReadsAt;
    EXPECT_EQ(Names(Read(packed, failReadsAt)), "");
  }
}

// A record is read while more than 35 bytes remain in front of the trailer; one that does not
// end in front of the trailer stops the reading.
TEST(Archive, TheLoopRuleAndRecordsThatEndInsideTheTrailer) {
  Record unterminated = Good("Cut.bin");
  unterminated.terminated = false;
  const std::string intoTrailer = images::RecordBytes(Good("B.bin")).substr(0, 40);
  const std::tuple<std::vector<Record>, std::string, RecordFault> cases[] = {
      {{Good("A.bin")}, std::string(27, 'z'), RecordFault::kNone},  // 35 bytes remain
      {{Good("A.bin")}, std::string(28, 'z'), RecordFault::kEndsInsideRecord},
      {{Good("A.bin"), unterminated}, "", RecordFault::kEndsInsideRecord},
      {{Good("A.bin")}, intoTrailer, RecordFault::kEndsInsideRecord},
  };
  for (const auto& [records, after, fault] : cases) {
    const ArchiveLayout layout = Read(WithRecords(records, after));
    ASSERT_EQ(layout.result, ArchiveReadResult::kDirectory);
    EXPECT_EQ(Names(layout), "A.bin ");
    EXPECT_EQ(layout.directory.firstFault, fault);
  }
}

// Records the reader cannot use are left out; the ones behind them are still read.
TEST(Archive, RefusedRecordsAreLeftOutAndReadingGoesOn) {
  Record sizes = Good("Big.bin");
  sizes.storedSize = 11;
  Record crcCopy = Good("Crc.bin");
  crcCopy.crcCopy = 1;  // the reader does not compare the copy
  const std::pair<Record, RecordFault> cases[] = {
      {Good(std::string(259, 'n')), RecordFault::kNone},
      {Good(std::string(260, 'n')), RecordFault::kNameTooLong},
      {Good(std::string(300, 'n')), RecordFault::kNameTooLong},
      {Good(""), RecordFault::kEmptyName},
      {Good("Empty.txt", 0x1000, 0), RecordFault::kNone},  // zero-length, right at the directory
      {Good("Last.bin", 0x1000 - 10, 10), RecordFault::kNone},
      {Good("Packed.bin", 0x410, 10, 1), RecordFault::kNotStoredAsIs},
      {sizes, RecordFault::kSizeMismatch},
      {Good("Over.bin", 0x1000 - 9, 10), RecordFault::kDataOutsidePayload},
      {Good("Far.bin", 0x7FFFFFF0, 10), RecordFault::kDataOutsidePayload},  // past the end of the file
      {Good("Wrap.bin", 0xFFFFFFF0u, 0x20), RecordFault::kDataOutsidePayload},
      {crcCopy, RecordFault::kNone},
  };
  for (const auto& [record, fault] : cases) {
    SCOPED_TRACE(record.name.substr(0, 12));
    const std::string bytes = WithRecords({Good("First.bin"), record, Good("Third.bin")});
    const ArchiveLayout layout = Read(bytes);
    EXPECT_EQ(layout.directory.endOffset, bytes.size() - 8);
    EXPECT_EQ(layout.directory.firstFault, fault);
    const bool refused = fault != RecordFault::kNone;
    EXPECT_EQ(Names(layout), "First.bin " + (refused ? "" : record.name + " ") + "Third.bin ");
    EXPECT_EQ(layout.directory.refusedRecords, refused ? 1u : 0u);
    EXPECT_EQ(layout.directory.firstFaultOffset, refused ? 0x1000u + 16 + 38 + 9 : 0u);
  }
  // The reader has no uniqueness rule: names differing only in case are both kept.
  EXPECT_EQ(Names(Read(WithRecords({Good("Setup.cnf"), Good("SETUP.CNF")}))), "Setup.cnf SETUP.CNF ");
}

// Counts bytes without keeping them: archives near the 4 GiB limit cost no memory.
class CountingSink : public ByteSink {
 public:
  int Write(const void*, size_t) override { return 1; }
};

TEST(Archive, TheWriterRefusesWhatTheReaderCouldNotRead) {
  const std::string name259(259, 'n');
  const std::string name260(260, 'n');
  // payload start, name, data size, and whether Begin, BeginEntry and the data succeed
  const std::tuple<uint64_t, const char*, size_t, const char*> cases[] = {
      {0x400, name259.c_str(), 1, "111"},
      {0x400, name260.c_str(), 1, "100"},
      {0x400, "", 1, "100"},
      {0xFFFFFFF0u - 16, "a", 0xF, "111"},  // data up to the last 32-bit offset
      {0xFFFFFFF0u - 16, "a", 0x10, "110"},
      {0xFFFFFFF0u, "a", 0, "000"},  // the executable alone is too large
  };
  for (const auto& [payloadStart, name, dataSize, expected] : cases) {
    CountingSink sink;
    ArchiveWriter writer(sink, payloadStart);
    const std::vector<char> data(dataSize);
    std::string got;
    got += writer.Begin() ? '1' : '0';
    got += writer.BeginEntry(name, 0, 0) ? '1' : '0';
    got += writer.WriteEntryData(data.data(), data.size()) ? '1' : '0';
    EXPECT_EQ(got, expected) << payloadStart << " " << std::string(name).size() << " " << dataSize;
    EXPECT_EQ(writer.EndEntry() && writer.Finish(), got == "111");
    EXPECT_EQ(std::string(writer.Error()).empty(), got == "111");
  }
}

// The first failing strict check's message, or "" when the archive is sound.
std::string Fault(const std::string& bytes) {
  images::MemorySource source(bytes);
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

// Corrupt CRCs and refused records are shown through z614pack's verify in the tools' tests.
// The packed entries with their records changed, `extra` bytes in front of the magic and
// `stray` bytes in front of the trailer.
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
      {Rebuild([](auto& r) { r[1].crcCopy ^= 1; }), "entry 'B.nwp': the CRC copy"},
      {Rebuild([](auto& r) { std::swap(r[0].name, r[1].name); }), "entry 'a.NWP': out of order after 'B.nwp'"},
      {Rebuild([](auto& r) { r[1].name = "A.nwp"; }), "entry 'A.nwp': the name is not unique"},
      {Rebuild([](auto& r) { r[1].dataOffset += 1; }), "entry 'B.nwp': data at offset"},
      {noBeginBlock, "no begin block at the payload start 1024"},
      {Rebuild(same, "", "", 0x10000), "leaves no room for the begin block"},
      {Rebuild(same, "xy"), "does not follow the last entry's data"},
      {Rebuild(same, "", "12345"), "the trailer does not follow the last record"},
  };
  for (const auto& [bytes, message] : cases) EXPECT_NE(Fault(bytes).find(message), std::string::npos) << Fault(bytes);
}

}  // namespace
