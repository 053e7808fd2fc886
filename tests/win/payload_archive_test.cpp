// The archive reader on real files through the Win32 calls: a packed setup, the test's own image,
// the message for a file that cannot be opened, lookups with the system's case and wildcard
// rules, and extraction to disk with the entry's times. The layout is tested natively.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "core/archive_format.h"
#include "payload/payload_archive.h"
#include "tests/win/script_run_support.h"

namespace {

using script_test::kWritten;
using script_test::ReadText;

const std::vector<script_test::PackedEntry> kPayload = {
    {"a.NWP", "REGEDIT4\r\n[profile a]\r\n"}, {"B.nwp", "REGEDIT4\r\n[profile b, longer]\r\n"},
    {"Empty.txt", ""},                        {"mod_adm.dll", std::string(3000, 'M')},
    {"Setup.cnf", "[AddFile]\r\n"},           {"Z614SC.inf", "[Version]\r\n"},
};
constexpr size_t kSetupCnf = 4;

// "caption|text" of each message box this thread activates; each is answered with OK.
std::vector<std::string> shownBoxes;
LRESULT CALLBACK AnswerMessageBox(int code, WPARAM wParam, LPARAM lParam) {
  const HWND box = reinterpret_cast<HWND>(wParam);
  char caption[64] = "", text[256] = "";
  if (code == HCBT_ACTIVATE && GetClassNameA(box, text, sizeof text) && !lstrcmpA(text, "#32770")) {
    GetWindowTextA(box, caption, sizeof caption);
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    shownBoxes.push_back(std::string(caption) + "|" + text);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Opens `path` and keeps the message boxes it shows in shownBoxes.
int OpenWatched(PayloadArchive& archive, const char* path) {
  shownBoxes.clear();
  const HHOOK hook = SetWindowsHookExA(WH_CBT, AnswerMessageBox, nullptr, GetCurrentThreadId());
  const int result = archive.Open(path);
  UnhookWindowsHookEx(hook);
  return result;
}

// The packed setup as Setup.exe in a scratch folder, opened without a message.
class PayloadArchiveTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteTestFile(file_, bytes_));
    ASSERT_EQ(OpenWatched(archive_, file_.c_str()), 1);
    EXPECT_TRUE(shownBoxes.empty());
    ASSERT_EQ(archive_.entries.Count(), kPayload.size());
  }
  std::string Path(const std::string& name) const { return folder_ + "\\" + name; }

  const std::string folder_ = MakeScratchFolder("payload");
  const std::string file_ = Path("Setup.exe");
  const std::string bytes_ = script_test::Packed(kPayload);
  PayloadArchive archive_;
};

// A missing file in an existing folder, and a file without an archive, open as an empty archive
// at their length, silently: a setup without payload still starts. The file here is the running
// executable, opened by an empty path; it must not hold the magic, which is joined at run time.
TEST_F(PayloadArchiveTest, FilesWithoutAnArchiveOpenEmptyWithoutAMessage) {
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, sizeof self);
  std::string image;
  ASSERT_TRUE(ReadTestFile(self, &image));
  const std::pair<std::string, uint32_t> cases[] = {
      {Path("missing.exe"), 0}, {self, static_cast<uint32_t>(image.size())}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    ASSERT_EQ(archive_.Open(file_.c_str()), 1);
    EXPECT_EQ(OpenWatched(archive_, c.first == self ? "" : c.first.c_str()), 1);
    EXPECT_TRUE(shownBoxes.empty());
    EXPECT_STREQ(archive_.path, c.first.c_str());
    EXPECT_EQ(archive_.entries.Count(), 0u);
    EXPECT_EQ(archive_.payloadStart, c.second);
    EXPECT_EQ(archive_.directoryOffset, c.second);
  }
  unsigned char magic[kArchiveMagicSize];
  MakeDirectoryMagic(magic);
  EXPECT_EQ(image.find(std::string(reinterpret_cast<char*>(magic), sizeof magic)),
            std::string::npos);
}

TEST_F(PayloadArchiveTest, AnUnopenableFileShowsTheMessageAndKeepsTheDirectory) {
  const std::string tooLong = Path(std::string(300, 'n') + ".exe");
  for (const char* path : {"C:\\z614\\no such folder\\Setup.exe", tooLong.c_str()}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(OpenWatched(archive_, path), 0);
    EXPECT_EQ(shownBoxes, std::vector<std::string>{"Xelta Z614|Cannot open the compressed file."});
    EXPECT_EQ(archive_.entries.Count(), kPayload.size());
  }
}

// Names are compared whole, each character upper-cased; patterns match whole names too. The
// profile collection, the pages and the install run scenario use the pattern lookups and loads.
TEST_F(PayloadArchiveTest, LookupsIgnoreCaseAndTakeTheWholeName) {
  EXPECT_EQ(archive_.FindEntry("z614sc.INF"), archive_.entries.At(5));
  for (const char* absent : {"Setup", "*.cnf", ""}) EXPECT_EQ(archive_.FindEntry(absent), nullptr);
  EXPECT_EQ(archive_.FindEntry(std::string(300, 'a').c_str()), nullptr);
  EXPECT_EQ(archive_.CountMatches("mod_adm"), 0);
  EXPECT_EQ(archive_.SizeOfMatches("?.NWP"), kPayload[0].data.size() + kPayload[1].data.size());
}

TEST_F(PayloadArchiveTest, ExtractWritesTheEntryWithItsTimesOverAFileOnlyWhenAllowed) {
  const std::string destination = Path("setup.cnf");
  const std::string older = "an older and much longer file that must be replaced whole";
  ASSERT_TRUE(WriteTestFile(destination, older));
  EXPECT_EQ(archive_.ExtractEntry("Setup.cnf", destination.c_str()), 0u);
  EXPECT_EQ(ReadText(destination), older);

  archive_.flags |= OverwriteExisting;
  ASSERT_EQ(archive_.ExtractEntry("SETUP.CNF", destination.c_str()),
            kPayload[kSetupCnf].data.size());
  // Times before reading, which would move the access time. Wine keeps no creation time.
  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(GetFileAttributesExA(destination.c_str(), GetFileExInfoStandard, &data));
  for (const FILETIME& time : {data.ftLastWriteTime, data.ftLastAccessTime}) {
    EXPECT_EQ((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime,
              kWritten);
  }
  EXPECT_EQ(ReadText(destination), kPayload[kSetupCnf].data);
}

TEST_F(PayloadArchiveTest, WhatCannotBeExtractedAndTheCopyOfTheWholeFile) {
  archive_.flags |= OverwriteExisting;
  // An entry of size 0 counts as absent; a pattern names no single entry.
  for (const char* name : {"Empty.txt", "*.nwp"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(archive_.ExtractEntry(name, Path("out.bin").c_str()), 0u);
    EXPECT_FALSE(PathExists(Path("out.bin")));
  }
  // A destination that cannot be opened writes nothing, yet counts as done.
  EXPECT_EQ(archive_.ExtractEntry("mod_adm.dll", "C:\\z614\\no such folder\\m.dll"), 3000u);

  // An empty name copies the whole file, the setup installing itself as its uninstaller,
  // and replaces the old copy whatever OverwriteExisting says.
  archive_.flags = 0;
  const std::string uninstaller = Path("Uninstall.exe");
  ASSERT_TRUE(WriteTestFile(uninstaller, "old uninstaller"));
  EXPECT_EQ(archive_.ExtractEntry("", uninstaller.c_str()), 1u);
  EXPECT_EQ(ReadText(uninstaller), bytes_);
}

}  // namespace
