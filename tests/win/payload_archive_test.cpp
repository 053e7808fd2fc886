// The archive reader against real files in the prefix: archives built here with the packer's
// own writer, files without an archive, missing and unopenable files, extraction with its
// overwrite rule and file times, and the pattern lookups the profile collection relies on.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "core/archive_format.h"
#include "core/crc32.h"
#include "payload/payload_archive.h"
#include "tests/win/sys_test_support.h"

namespace {

class StringSink : public ByteSink {
 public:
  std::string bytes;
  int Write(const void* data, size_t size) override {
    bytes.append(static_cast<const char*>(data), size);
    return 1;
  }
};

struct TestEntry {
  const char* name;
  std::string data;
  uint64_t creationTime;
  uint64_t writeTime;
};

// 2003-05-01 10:00 UTC and a day later, as FILETIME values.
constexpr uint64_t kCreated = 126962424000000000ull;
constexpr uint64_t kWritten = kCreated + 864000000000ull;

// The payload of the setup in small: what start-up, the script loader and the profile
// collection look for. Setup.cnf has times of its own, so extraction shows whose it applies.
const std::vector<TestEntry>& SetupPayload() {
  static const std::vector<TestEntry> payload = {
      {"a.NWP", "REGEDIT4\r\n[profile a]\r\n", kCreated, kWritten},
      {"B.nwp", "REGEDIT4\r\n[profile b, longer]\r\n", kCreated, kWritten},
      {"default.NWK", "REGEDIT4\r\n", kCreated, kWritten},
      {"Empty.txt", "", kCreated, kWritten},
      {"mod_adm.dll", std::string(3000, 'M'), kCreated, kWritten},
      {"Setup.cnf", "[AddFile]\r\n:Readme.txt,%TARGETFOLDER%\\Readme.txt\r\n", kCreated + 1, kWritten + 2},
      {"Z614SC.inf", "[Version]\r\n", kCreated, kWritten},
  };
  return payload;
}

// SetupPayload appended to a 0x600-byte executable image.
std::string PackedSetup() {
  StringSink sink;
  sink.bytes = "MZ";
  sink.bytes.resize(0x600, '\x90');
  ArchiveWriter writer(sink, sink.bytes.size());
  EXPECT_EQ(writer.Begin(), 1);
  for (const TestEntry& e : SetupPayload()) {
    EXPECT_EQ(writer.BeginEntry(e.name, e.creationTime, e.writeTime), 1);
    EXPECT_EQ(writer.WriteEntryData(e.data.data(), e.data.size()), 1);
    EXPECT_EQ(writer.EndEntry(), 1);
  }
  EXPECT_EQ(writer.Finish(), 1);
  return sink.bytes;
}

// ---- Watching for the reader's message ----

struct ShownBox {
  std::string caption, text;
};

struct MessageWatch {
  DWORD threadId = 0;
  volatile LONG done = 0;
  std::set<HWND> answered;
  std::vector<ShownBox> shown;
};

std::string TextOf(HWND window) {
  char text[512] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

BOOL CALLBACK AnswerMessageBox(HWND window, LPARAM context) {
  MessageWatch* watch = reinterpret_cast<MessageWatch*>(context);
  char className[32] = "";
  GetClassNameA(window, className, sizeof className);
  if (lstrcmpA(className, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  if (watch->answered.insert(window).second) {
    watch->shown.push_back({TextOf(window), TextOf(GetDlgItem(window, 0xFFFF))});
  }
  PostMessageA(window, WM_COMMAND, IDOK, 0);
  return TRUE;
}

DWORD WINAPI WatchForMessageBoxes(void* context) {
  MessageWatch* watch = static_cast<MessageWatch*>(context);
  while (InterlockedCompareExchange(&watch->done, 0, 0) == 0) {
    EnumThreadWindows(watch->threadId, AnswerMessageBox, reinterpret_cast<LPARAM>(watch));
    Sleep(20);
  }
  return 0;
}

// Opens `path` while a second thread answers, and records, every message box this thread
// shows, so a test of a message never waits for a user. The watch lasts until Open returns,
// so a box that is shown is always answered.
int OpenWatched(PayloadArchive& archive, const char* path, std::vector<ShownBox>* shown) {
  MessageWatch watch;
  watch.threadId = GetCurrentThreadId();
  HANDLE watcher = CreateThread(nullptr, 0, WatchForMessageBoxes, &watch, 0, nullptr);
  const int result = archive.Open(path);
  InterlockedExchange(&watch.done, 1);
  WaitForSingleObject(watcher, INFINITE);
  CloseHandle(watcher);
  *shown = watch.shown;
  return result;
}

uint64_t FromFiletime(const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

// The packed setup as Setup.exe in a scratch folder, opened.
class PayloadArchiveTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteTestFile(file_, bytes_));
    ASSERT_EQ(archive_.Open(file_.c_str()), 1);
  }
  std::string Read(const std::string& path) {
    std::string content;
    EXPECT_TRUE(ReadTestFile(path, &content)) << path;
    return content;
  }

  ScopedScratchFolder scratch_{"payload"};
  const std::string file_ = scratch_.Path("Setup.exe");
  const std::string bytes_ = PackedSetup();
  PayloadArchive archive_;
};

// ---- Open ----

TEST_F(PayloadArchiveTest, ReadsTheDirectoryOfAPackedFile) {
  PayloadArchive archive;
  std::vector<ShownBox> shown;
  ASSERT_EQ(OpenWatched(archive, file_.c_str(), &shown), 1);
  EXPECT_TRUE(shown.empty());
  EXPECT_STREQ(archive.path, file_.c_str());
  EXPECT_EQ(archive.payloadStart, 0x600u);
  ASSERT_EQ(archive.entries.Count(), SetupPayload().size());

  uint32_t expectedOffset = 0x600 + 16;
  for (size_t i = 0; i < SetupPayload().size(); ++i) {
    const TestEntry& expected = SetupPayload()[i];
    const ArchiveEntry* entry = archive.entries.At(i);
    SCOPED_TRACE(expected.name);
    EXPECT_STREQ(entry->name, expected.name);
    EXPECT_EQ(entry->dataOffset, expectedOffset);
    EXPECT_EQ(entry->size, expected.data.size());
    EXPECT_EQ(entry->storedSize, expected.data.size());
    EXPECT_EQ(entry->crc, Crc32(expected.data.data(), expected.data.size()));
    EXPECT_EQ(entry->crcCopy, entry->crc);
    EXPECT_EQ(entry->creationTime, expected.creationTime);
    EXPECT_EQ(entry->writeTime, expected.writeTime);
    EXPECT_EQ(entry->data, nullptr);  // nothing is loaded before it is asked for
    expectedOffset += static_cast<uint32_t>(expected.data.size());
  }
  EXPECT_EQ(archive.directoryOffset, expectedOffset);
}

// Files that open as an empty archive, silently: a setup without payload still starts. An
// archive opened before is forgotten.
TEST_F(PayloadArchiveTest, FilesWithoutAnArchiveOpenEmptyWithoutAMessage) {
  std::string pointsPastTheEnd = bytes_;
  pointsPastTheEnd[pointsPastTheEnd.size() - 2] = '\x7F';  // D far behind the end of the file
  const uint32_t size = static_cast<uint32_t>(bytes_.size());
  struct Case {
    const char* name;
    bool create;
    std::string bytes;
    uint32_t trailerValue;  // what both trailer values must be afterwards
  } const cases[] = {
      {"missing.exe", false, "", 0},
      {"foreign.exe", true, std::string(5000, 'x'), 5000},
      {"empty.exe", true, "", 0},
      {"short.exe", true, std::string("MZ\x90\x00\x03", 5), 5},
      {"past_end.exe", true, pointsPastTheEnd, size},
      {"truncated.exe", true, bytes_.substr(0, size - 1), size - 1},
      {"trailer_only.exe", true, std::string(8, '\0'), 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = scratch_.Path(c.name);
    if (c.create) {
      ASSERT_TRUE(WriteTestFile(file, c.bytes));
    }
    PayloadArchive archive;
    ASSERT_EQ(archive.Open(file_.c_str()), 1);
    std::vector<ShownBox> shown;
    EXPECT_EQ(OpenWatched(archive, file.c_str(), &shown), 1);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(archive.entries.Count(), 0u);
    EXPECT_EQ(archive.payloadStart, c.trailerValue);
    EXPECT_EQ(archive.directoryOffset, c.trailerValue);
    EXPECT_EQ(archive.FindEntry("Setup.cnf"), nullptr);
    EXPECT_EQ(archive.ExtractEntry("Setup.cnf", scratch_.Path("out.cnf").c_str()), 0u);
  }
}

// The test executable carries no payload: an empty archive at the file's length. The magic is
// joined only at run time, so no executable that reads archives can be taken for one.
TEST(PayloadArchiveOpen, AnEmptyPathOpensTheRunningExecutableWhichHoldsNeitherMark) {
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, sizeof self);
  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(GetFileAttributesExA(self, GetFileExInfoStandard, &data));
  PayloadArchive archive;
  std::vector<ShownBox> shown;
  ASSERT_EQ(OpenWatched(archive, "", &shown), 1);
  EXPECT_TRUE(shown.empty());
  EXPECT_STREQ(archive.path, self);
  EXPECT_EQ(archive.entries.Count(), 0u);
  EXPECT_EQ(archive.payloadStart, data.nFileSizeLow);
  EXPECT_EQ(archive.directoryOffset, data.nFileSizeLow);

  std::string image;
  ASSERT_TRUE(ReadTestFile(self, &image));
  unsigned char magic[kArchiveMagicSize];
  unsigned char begin[kArchiveBeginBlockSize];
  MakeDirectoryMagic(magic);
  MakeBeginBlock(begin);
  EXPECT_EQ(image.find(std::string(reinterpret_cast<char*>(magic), sizeof magic)), std::string::npos);
  EXPECT_EQ(image.find(std::string(reinterpret_cast<char*>(begin), 12)), std::string::npos);
}

TEST_F(PayloadArchiveTest, AnUnopenableFileShowsTheMessageAndKeepsTheDirectory) {
  const std::string tooLong = scratch_.Path(std::string(300, 'n') + ".exe");
  for (const char* path : {"C:\\z614\\no such folder\\Setup.exe", tooLong.c_str()}) {
    SCOPED_TRACE(path);
    std::vector<ShownBox> shown;
    EXPECT_EQ(OpenWatched(archive_, path, &shown), 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Xelta Z614");
    EXPECT_EQ(shown[0].text, "Cannot open the compressed file.");
    EXPECT_EQ(archive_.entries.Count(), SetupPayload().size());
  }
}

// ---- Lookups ----

TEST_F(PayloadArchiveTest, FindEntryIgnoresCaseAndWantsTheWholeName) {
  const std::string longName(300, 'a');
  struct Case {
    const char* name;
    const char* found;  // nullptr: none
  } const cases[] = {
      {"SETUP.CNF", "Setup.cnf"}, {"z614sc.INF", "Z614SC.inf"}, {"Setup", nullptr},
      {"Setup.cnf ", nullptr},    {"*.cnf", nullptr},          {"", nullptr},
      {longName.c_str(), nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ArchiveEntry* entry = archive_.FindEntry(c.name);
    EXPECT_STREQ(entry ? entry->name : nullptr, c.found);
  }
}

TEST_F(PayloadArchiveTest, PatternsCountSumAndNameTheirMatchesInDirectoryOrder) {
  struct Case {
    const char* pattern;
    std::vector<const char*> names;
  } const cases[] = {
      {"*.NWP", {"a.NWP", "B.nwp"}},
      {"?.nwp", {"a.NWP", "B.nwp"}},
      {"*Z?14SC.*", {"Z614SC.inf"}},
      {"MOD_ADM.DLL", {"mod_adm.dll"}},
      {"mod_adm", {}},
      {"*.txt", {"Empty.txt"}},  // a zero-length entry still matches
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(archive_.CountMatches(c.pattern), static_cast<int>(c.names.size()));
    uint32_t total = 0;
    char name[kEntryNameCapacity] = "";
    for (size_t n = 0; n < c.names.size(); ++n) {
      ASSERT_EQ(archive_.GetMatchName(c.pattern, static_cast<int>(n + 1), name), 1);
      EXPECT_STREQ(name, c.names[n]);
      total += archive_.FindEntry(name)->size;
    }
    EXPECT_EQ(archive_.GetMatchName(c.pattern, static_cast<int>(c.names.size() + 1), name), 0);
    EXPECT_EQ(archive_.GetMatchName(c.pattern, 0, name), 0);
    EXPECT_EQ(archive_.SizeOfMatches(c.pattern), total);
  }
}

TEST_F(PayloadArchiveTest, LoadEntryReadsIntoOneBufferThatLaterLoadsReuse) {
  EXPECT_EQ(archive_.LoadEntry(""), 0u);
  EXPECT_EQ(archive_.LoadEntry("absent.nwp"), 0u);
  const std::string& text = SetupPayload()[1].data;
  ASSERT_EQ(archive_.LoadEntry("b.NWP"), text.size());
  const ArchiveEntry* entry = archive_.FindEntry("B.nwp");
  const unsigned char* buffer = entry->data.get();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer), entry->size), text);

  // A later load reads the file again into the same buffer.
  std::string changed = bytes_;
  changed[entry->dataOffset] = 'X';
  ASSERT_TRUE(WriteTestFile(file_, changed));
  ASSERT_EQ(archive_.LoadEntry("B.nwp"), text.size());
  EXPECT_EQ(entry->data.get(), buffer);
  EXPECT_EQ(buffer[0], 'X');

  // An archive that went away cannot be loaded from.
  ASSERT_TRUE(DeleteFileA(file_.c_str()));
  EXPECT_EQ(archive_.LoadEntry("a.NWP"), 0u);
}

// ---- Extraction ----

TEST_F(PayloadArchiveTest, ExtractWritesTheEntryWithItsTimes) {
  const std::string destination = scratch_.Path("Setup.cnf");
  ASSERT_EQ(archive_.ExtractEntry("setup.cnf", destination.c_str()), SetupPayload()[5].data.size());
  // Times first: reading the file would move its last-access time. (The creation time is
  // applied too, but Wine's Linux file system cannot store one, so it is not compared here.)
  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(GetFileAttributesExA(destination.c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(FromFiletime(data.ftLastWriteTime), kWritten + 2);
  EXPECT_EQ(FromFiletime(data.ftLastAccessTime), kWritten + 2);
  EXPECT_EQ(Read(destination), SetupPayload()[5].data);
}

TEST_F(PayloadArchiveTest, ExtractReplacesAnExistingFileOnlyWithOverwriteExisting) {
  EXPECT_EQ(archive_.flags, 0u);  // cleared until a caller sets it
  const std::string destination = scratch_.Path("default.nwk");
  const std::string older = "an older and much longer file that must be replaced whole";
  ASSERT_TRUE(WriteTestFile(destination, older));
  EXPECT_EQ(archive_.ExtractEntry("default.NWK", destination.c_str()), 0u);
  EXPECT_EQ(Read(destination), older);

  archive_.flags |= OverwriteExisting;
  EXPECT_EQ(archive_.ExtractEntry("default.NWK", destination.c_str()), SetupPayload()[2].data.size());
  EXPECT_EQ(Read(destination), SetupPayload()[2].data);
}

TEST_F(PayloadArchiveTest, WhatCannotBeExtracted) {
  archive_.flags |= OverwriteExisting;
  // Not in the archive; an entry of size 0 counts as absent; a pattern names no single entry.
  for (const char* name : {"absent.dll", "Empty.txt", "*.nwp"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(archive_.ExtractEntry(name, scratch_.Path("out.bin").c_str()), 0u);
    EXPECT_FALSE(PathExists(scratch_.Path("out.bin")));
  }
  // A destination that cannot be opened writes nothing, yet counts as done.
  EXPECT_EQ(archive_.ExtractEntry("mod_adm.dll", "C:\\z614\\no such folder\\mod_adm.dll"), 3000u);
  EXPECT_FALSE(PathExists("C:\\z614\\no such folder"));
}

TEST_F(PayloadArchiveTest, ExtractWithAnEmptyNameCopiesTheWholeArchiveFile) {
  // Replaced whatever OverwriteExisting says: the setup installs itself as its uninstaller.
  const std::string destination = scratch_.Path("Uninstall.exe");
  ASSERT_TRUE(WriteTestFile(destination, "old uninstaller, longer than nothing"));
  EXPECT_EQ(archive_.ExtractEntry("", destination.c_str()), 1u);
  EXPECT_EQ(Read(destination), bytes_);

  ASSERT_TRUE(DeleteFileA(file_.c_str()));
  EXPECT_EQ(archive_.ExtractEntry("", scratch_.Path("Again.exe").c_str()), 0u);
  EXPECT_FALSE(PathExists(scratch_.Path("Again.exe")));
}

}  // namespace
