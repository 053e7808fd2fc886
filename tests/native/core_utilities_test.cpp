// The core's small utilities at their edges: CRC-32 on every path, the command line, bounded
// strings, uninstall records, the OS classification and the rule for entry names.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "core/bounded_string.h"
#include "core/command_line.h"
#include "core/crc32.h"
#include "core/crc32_paths.h"
#include "core/entry_name_rules.h"
#include "core/os_family.h"
#include "core/uninstall_record.h"

namespace {

uint32_t BitwiseCrc32(const unsigned char* data, size_t size) {
  uint32_t value = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) {
    value ^= data[i];
    for (int bit = 0; bit < 8; ++bit) value = (value & 1) ? (value >> 1) ^ 0xEDB88320u : value >> 1;
  }
  return ~value;
}

// Every path, every length around the 8-, 16-, 40- and 64-byte steps, every start alignment.
TEST(Crc32, EveryPathLengthAndAlignmentMatchesTheBitwiseDefinition) {
  EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
  std::mt19937 random(614);
  std::vector<unsigned char> data(300);
  for (unsigned char& b : data) b = static_cast<unsigned char>(random());
  std::vector<uint32_t (*)(uint32_t, const void*, size_t)> paths = {Crc32Update, Crc32UpdateWithTables};
  if (Crc32HasCarrylessMultiply()) paths.push_back(Crc32UpdateWithCarrylessMultiply);
  for (size_t path = 0; path < paths.size(); ++path) {
    for (size_t start = 0; start < 16; ++start) {
      for (size_t size = 0; start + size <= 300; size += (size < 200 ? 1 : 13)) {
        ASSERT_EQ(~paths[path](0xFFFFFFFFu, &data[start], size), BitwiseCrc32(&data[start], size))
            << "path " << path << ", start " << start << ", size " << size;
      }
    }
  }
  uint32_t state = 0xFFFFFFFFu;  // in chunks: the state carries across calls
  for (size_t at = 0; at < data.size(); at += 17) state = Crc32Update(state, &data[at], std::min<size_t>(17, 300 - at));
  EXPECT_EQ(~state, BitwiseCrc32(data.data(), data.size()));
}

std::string Split(const std::string& text, int skipFirst = 0) {
  CommandLine line;
  line.Parse(text.c_str(), skipFirst);
  std::string out;
  for (size_t i = 0; i < line.ArgumentCount(); ++i) out += std::string(line.Argument(i)) + "|";
  return out;
}

// "found:value" of GetSwitchValue("cloned", count) with a buffer of `size`.
std::string Value(const char* text, int count, size_t size = 260) {
  CommandLine line;
  line.Parse(text, 0);
  std::vector<char> out(size, 'g');
  const int found = line.GetSwitchValue("cloned", count, out.data(), size, "dflt");
  return std::to_string(found) + ":" + out.data();
}

TEST(CommandLine, SplitsLikeTheSetupAndReadsSwitchValuesThatAreNoSwitches) {
  EXPECT_EQ(Split("/Cloned \"C:\\My Files\\Setup.exe\" a\"b c\"d \"\" x"), "/Cloned|C:\\My Files\\Setup.exe|ab cd|x|");
  EXPECT_EQ(Split("  \"prog files\\p.exe\"  x \"unterminated\trun", 1), "x|unterminated\trun|");
  EXPECT_EQ(Split("/Cloned " + std::string(400, 'x') + " next"), "/Cloned|" + std::string(255, 'x') + "|next|");
  EXPECT_EQ(Value("x /clonedUNINSTALL a -CLONED \"C:\\A B\\Setup.exe\"", 1), "1:C:\\A B\\Setup.exe");
  EXPECT_EQ(Value("/ClonedUninstall a", 1), "0:dflt");  // switches are matched by their whole name
  EXPECT_EQ(Value("/Cloned /Other", 1), "0:dflt");
  EXPECT_EQ(Value("/Cloned a b", 2), "1:b");  // the last of `count` values
  EXPECT_EQ(Value("/Cloned a -x", 2), "0:dflt");
  EXPECT_EQ(Value("/Cloned -5", 1), "1:-5");  // a number is a value
  EXPECT_EQ(Value("/Cloned C:\\abcdefgh", 1, 6), "1:C:\\ab");
}

TEST(BoundedString, CopiesReplacementsAndLinesStopAtCapacityAndWildcardsMatchWholeNames) {
  char buf[16];
  EXPECT_EQ(CopyText(buf, 8, "123456789"), 0);
  EXPECT_STREQ(buf, "1234567");
  EXPECT_EQ(AppendText(buf, 9, "ab"), 0);
  EXPECT_STREQ(buf, "1234567a");
  CopyText(buf, sizeof buf, "a%X%b%X%");
  EXPECT_EQ(ReplaceFirst(buf, sizeof buf, "%x%", "y"), 0);  // the exact variant keeps case
  EXPECT_EQ(ReplaceFirstNoCase(buf, sizeof buf, "%x%", "long"), 1);
  EXPECT_STREQ(buf, "alongb%X%");
  EXPECT_EQ(ReplaceFirst(buf, sizeof buf, "%X%", "0123456789"), 0);  // would need 17 bytes
  EXPECT_EQ(ReplaceFirst(buf, sizeof buf, "%X%", "012345678"), 1);   // exactly fits
  EXPECT_EQ(std::strlen(buf), 15u);
  // One CR and one LF end a line, LF CR is a line end and an empty line; lines are cut.
  const std::string data = "one\r\ntwo\n\rthree\r\rfour";
  size_t pos = 0;
  char line[4];
  std::string lines;
  while (ReadLine(data.data(), data.size(), &pos, line, sizeof line)) lines += std::string(line) + "|";
  EXPECT_EQ(lines, "one|two||thr||fou|");
  // Wildcards match whole names without case.
  EXPECT_TRUE(MatchWildcard("AZ714sc.sys", "*Z?14SC.*"));
  EXPECT_FALSE(MatchWildcard("Z14SC.sys", "*Z?14SC.*"));
  EXPECT_FALSE(MatchWildcard("default.nwpx", "*.NWP"));
}

std::string Record(const char* action, const char* line, ComponentSet mask) {
  char out[kUninstallRecordSize];
  const size_t length = FormatUninstallRecord(action, line, mask, out, sizeof out);
  EXPECT_EQ(length, std::strlen(out));
  return out;
}

// Tags in their fixed order; no tags for none or all of the six; bits beyond them are ignored.
TEST(UninstallRecord, TagsFollowTheMaskAndARecordBeyondTheBufferIsRefused) {
  const std::pair<ComponentSet, const char*> cases[] = {
      {0, "[AddFile]"},
      {kAllComponents, "[AddFile]"},
      {kComponentSC | kComponentDriver, "[AddFile.Driver.SC]"},
      {kAllComponents & ~kComponentSC, "[AddFile.Admin.UI.Driver.Help.SMS]"},
      {kAllComponents & ~kComponentUI, "[AddFile.Admin.Driver.Help.SMS.SC]"},
      {0x40 | kComponentUI, "[AddFile.UI]"},
  };
  for (const auto& [mask, header] : cases)
    EXPECT_EQ(Record("AddFile", ",C:\\Apps\\a.exe", mask), std::string(header) + "\r\n,C:\\Apps\\a.exe\r\n\r\n");
  EXPECT_EQ(Record("AddShellLink", "C:\\M\\R.lnk,,,,", kComponentHelp | kComponentUI),
            "[AddShellLink.UI.Help]\r\nC:\\M\\R.lnk,,,,\r\n\r\n");
  char out[kUninstallRecordSize];
  EXPECT_GT(FormatUninstallRecord("AddShellLink", std::string(4095, 'x').c_str(), 0x3E, out, sizeof out), 4095u);
  char small[25];  // "[AddFolder]\r\nC:\Apps\r\n\r\n" is 24 characters
  EXPECT_EQ(FormatUninstallRecord("AddFolder", "C:\\Apps", 0, small, sizeof small), 24u);
  EXPECT_EQ(FormatUninstallRecord("AddFolder", "C:\\Apps\\B", 0, small, sizeof small), 0u);
  EXPECT_STREQ(small, "");
}

// 9x, NT, 98 SE, ME, 2000, XP, supported.
TEST(OsFamily, ClassifiesTheReportedVersions) {
  const std::pair<OsVersion, const char*> cases[] = {
      {{1, 4, 10, (4u << 24) | (10u << 16) | 1998}, "1000000"},  // 98
      {{1, 4, 10, 2183}, "1010001"},                           // 98 SE at the boundary
      {{1, 4, 90, (4u << 24) | (90u << 16) | 3000}, "1001001"},  // ME
      {{2, 4, 0, 1381}, "0100000"},                            // NT 4.0
      {{2, 5, 0, 2195}, "0100101"},
      {{2, 5, 1, 2600}, "0100011"},
      {{2, 6, 1, 7601}, "0100000"},                            // 7
  };
  for (const auto& [v, expected] : cases) {
    std::string got;
    for (bool b : {IsWin9x(v), IsWinNT(v), IsWin98SE(v), IsWinME(v), IsWin2000(v), IsWinXP(v), IsSupportedSystem(v)})
      got += b ? '1' : '0';
    EXPECT_EQ(got, expected) << v.platformId << " " << v.major << "." << v.minor << " " << v.build;
  }
}

// An entry name must not leave the chosen folder, open a device, or be renamed by Windows.
TEST(CheckPlainFileName, RefusesNamesThatLeaveTheFolderOrOpenADevice) {
  const std::string longest(259, 'n');
  for (const char* name : {"CONFIG.SYS", "console.txt", "two words.txt", "COM10", "LPT00.txt", ".profile", longest.c_str()})
    EXPECT_EQ(CheckPlainFileName(name, nullptr), 1) << name;
  const std::string tooLong(260, 'n');
  for (const char* name : {"", "..", "..\\Setup.exe", "sub/file", "C:file", "file:stream", "/etc/passwd", "con",
                           "nul.tar.gz", "AUX ", "com9.log", "lpt9.x", "COM0", "LPT0.txt", "CONIN$", "name.", "a*b", "a;b.txt", " lead.txt", "caf\xE9",
                           tooLong.c_str()}) {
    const char* reason = nullptr;
    EXPECT_EQ(CheckPlainFileName(name, &reason), 0) << "'" << name << "'";
    EXPECT_NE(reason, nullptr) << "'" << name << "'";
  }
}

}  // namespace
