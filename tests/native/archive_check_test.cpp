// The release tools' strict checks: each way an archive can depart from what the packer
// writes is named, and a single changed data byte is caught by the CRC check.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/archive_check.h"
#include "tests/native/archive_images.h"

namespace {

using images::Record;

const std::string kImage = "MZ" + std::string(0x1FE, '\x90');
const std::vector<images::Entry> kEntries = {
    {"a.NWP", "profile a"}, {"B.nwp", "profile b"}, {"Empty.txt", ""}, {"Setup.cnf", "[AddFile]\r\n"}};

// A packed file whose directory is written anew from `records`, with `extra` bytes between
// the data and the magic and `stray` bytes between the records and the trailer.
std::string Rebuild(const std::vector<Record>& records, const std::string& extra = "", const std::string& stray = "",
                    uint32_t payloadStart = 0x200) {
  std::string front = kImage + images::kBegin + std::string(4, '\0');
  for (const images::Entry& e : kEntries) front += e.data;
  return images::Assemble(front + extra, records, payloadStart, stray);
}

std::vector<Record> SoundRecords() {
  std::vector<Record> records;
  images::Packed(kImage, kEntries, &records);
  return records;
}

// The first failing check's message, or "" when the archive is sound.
std::string Fault(const std::string& bytes) {
  images::MemorySource source(bytes);
  ArchiveLayout layout;
  ReadArchive(source, &layout);
  char message[512] = "";
  if (CheckArchiveStructure(source, layout, message, sizeof message) &&
      CheckEntryCrcs(source, layout, message, sizeof message)) {
    return "";
  }
  EXPECT_NE(message[0], '\0');
  return message;
}

TEST(ArchiveCheck, APackedFileIsSound) {
  EXPECT_EQ(Fault(images::Packed(kImage, kEntries)), "");
  EXPECT_EQ(Fault(images::Packed(kImage, {})), "");
  EXPECT_EQ(Fault(Rebuild(SoundRecords())), "");
}

TEST(ArchiveCheck, EachStructuralFaultIsNamed) {
  auto changed = [](std::function<void(std::vector<Record>&)> change) {
    std::vector<Record> records = SoundRecords();
    change(records);
    return Rebuild(records);
  };
  std::string noBeginBlock = Rebuild(SoundRecords());
  noBeginBlock[0x200 + 3] = 'f';
  struct Case {
    const char* what;
    std::string bytes;
    const char* message;  // part of the message that must appear
  };
  const Case cases[] = {
      {"foreign file", kImage, "carries no archive"},
      {"crc copy differs", changed([](auto& r) { r[1].crcCopy ^= 1; }), "entry 'B.nwp': the CRC copy"},
      {"order", changed([](auto& r) { std::swap(r[0].name, r[1].name); }), "entry 'a.NWP': out of order after 'B.nwp'"},
      {"names differ only in case", changed([](auto& r) { r[1].name = "A.nwp"; }), "entry 'A.nwp': the name is not unique"},
      {"gap between entries", changed([](auto& r) { r[1].dataOffset += 1; r[1].storedSize = r[1].size -= 1; }),
       "entry 'B.nwp': data at offset"},
      {"refused record", changed([](auto& r) { r[2].storageFlag = 1; }), "storage flag is not 0"},
      {"name too long", changed([](auto& r) { r[3].name = std::string(260, 'z'); }), "longer than 259"},
      {"no begin block", noBeginBlock, "no begin block at the payload start 512"},
      {"payload start behind the directory", Rebuild(SoundRecords(), "", "", 0x10000), "leaves no room for the begin block"},
      {"bytes between data and directory", Rebuild(SoundRecords(), "xy"), "does not follow the last entry's data"},
      {"bytes between records and trailer", Rebuild(SoundRecords(), "", "12345"), "the trailer does not follow the last record"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_NE(Fault(c.bytes).find(c.message), std::string::npos) << Fault(c.bytes);
  }
}

TEST(ArchiveCheck, AFlippedDataByteFailsTheCrcOfItsEntry) {
  std::vector<Record> records;
  const std::string packed = images::Packed(kImage, kEntries, &records);
  for (size_t i = 0; i < records.size(); ++i) {
    if (records[i].size == 0) continue;
    SCOPED_TRACE(records[i].name);
    std::string bytes = packed;
    bytes[records[i].dataOffset + records[i].size - 1] ^= 0x20;
    const std::string fault = Fault(bytes);
    EXPECT_NE(fault.find("entry '" + records[i].name + "': CRC mismatch"), std::string::npos) << fault;
  }
}

}  // namespace
