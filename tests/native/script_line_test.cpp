#include "core/script_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::string& text, size_t cap, std::vector<int>* cuts = nullptr) {
  std::vector<std::string> lines;
  size_t pos = 0;
  std::vector<char> line(cap);
  int cut = 0;
  while (ReadScriptLine(text.data(), text.size(), &pos, line.data(), cap, &cut)) {
    lines.emplace_back(line.data());
    if (cuts) cuts->push_back(cut);
  }
  return lines;
}

// CR LF, LF and CR alone each end a line; LF CR is two line ends; nothing is trimmed.
TEST(ScriptLines, EveryLineEndReadsTheSame) {
  const std::vector<std::string> expected = {"[AddFile]", ":a,b", " ;x "};
  for (const char* text : {"[AddFile]\r\n:a,b\r\n ;x \r\n", "[AddFile]\n:a,b\n ;x \n", "[AddFile]\r:a,b\r ;x "}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(Lines(text, kScriptLineSize), expected);
  }
  EXPECT_EQ(Lines("a\n\r b\r\n\r\n", kScriptLineSize), (std::vector<std::string>{"a", "", " b", ""}));
}

TEST(ScriptLines, ALongLineIsCutAtTheBufferAndReported) {
  std::vector<int> cuts;
  const std::string exact(4095, 'x');
  const std::string over(4096, 'y');
  const auto lines = Lines(exact + "\r\n" + over + "\nz", kScriptLineSize, &cuts);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], exact);
  EXPECT_EQ(lines[1], std::string(4095, 'y'));
  EXPECT_EQ(lines[2], "z");
  EXPECT_EQ(cuts, (std::vector<int>{0, 1, 0}));
}

struct Cut {
  bool ok;
  std::vector<std::string> fields;  // when ok
  ScriptNote note;                   // when not ok
  int field;
  int ignoredTail;
};

Cut RunScan(const char* line, std::vector<size_t> caps) {
  std::vector<std::vector<char>> storage;
  std::vector<FieldBuffer> buffers;
  for (size_t cap : caps) storage.emplace_back(cap);
  for (auto& s : storage) buffers.push_back(FieldBuffer{s.data(), s.size()});
  CutFault fault{ScriptNote::kNone, -1};
  int tail = -1;
  Cut cut{CutScan(line, buffers.data(), buffers.size(), &fault, &tail) != 0, {}, fault.note,
          fault.field, tail};
  if (cut.ok)
    for (auto& s : storage) cut.fields.emplace_back(s.data());
  return cut;
}

TEST(ScriptLines, ScanCutsFieldsAtCommaOrApostropheAndTheLastAtABlank) {
  struct Case {
    const char* line;
    bool ok;
    std::vector<std::string> fields;
    ScriptNote note;
    int field;
    int tail;
  } cases[] = {
      {"HKLM,Software\\X Y,Run,REG_SZ,a b", true, {"HKLM", "Software\\X Y", "Run", "REG_SZ", "a"},
       ScriptNote::kNone, -1, 1},
      {"a,b,c,d,e,f'g", true, {"a", "b", "c", "d", "e,f'g"}, ScriptNote::kNone, -1, 0},
      {"HKLM,Key,,REG_SZ,x", false, {}, ScriptNote::kEmptyField, 2, -1},
      {"HKLM,K'ey,n,REG_SZ,x", false, {}, ScriptNote::kApostrophe, 1, -1},
      {"HKLM,Key,n,REG_SZ", false, {}, ScriptNote::kMissingField, 4, -1},
      {"HKLM,Key,n,REG_SZ,", false, {}, ScriptNote::kEmptyField, 4, -1},
      {"HKLM,Key,n,REG_SZ, x", false, {}, ScriptNote::kEmptyField, 4, -1},  // last starts with a blank
      {",Key,n,REG_SZ,x", false, {}, ScriptNote::kEmptyField, 0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const Cut cut = RunScan(c.line, {16, 16, 16, 16, 16});
    EXPECT_EQ(cut.ok, c.ok);
    if (c.ok) {
      EXPECT_EQ(cut.fields, c.fields);
      EXPECT_EQ(cut.ignoredTail, c.tail);
    } else {
      EXPECT_EQ(cut.note, c.note);
      EXPECT_EQ(cut.field, c.field);
    }
  }
}

TEST(ScriptLines, AFieldBeyondItsBufferRefusesTheLine) {
  EXPECT_TRUE(RunScan("abc,def", {4, 4}).ok);
  const Cut first = RunScan("abcd,def", {4, 4});
  EXPECT_FALSE(first.ok);
  EXPECT_EQ(first.note, ScriptNote::kFieldTooLong);
  EXPECT_EQ(first.field, 0);
  EXPECT_EQ(RunScan("abc,defg", {4, 4}).field, 1);
}

TEST(ScriptLines, SplitKeepsFurtherCommasInTheSecondField) {
  char a[8], b[16];
  CutFault fault{};
  ASSERT_TRUE(CutSplit(":x,C:\\a,b;c", {a, sizeof a}, {b, sizeof b}, &fault));
  EXPECT_STREQ(a, ":x");
  EXPECT_STREQ(b, "C:\\a,b;c");
  ASSERT_TRUE(CutSplit(",", {a, sizeof a}, {b, sizeof b}, &fault));
  EXPECT_STREQ(a, "");
  EXPECT_STREQ(b, "");
  EXPECT_FALSE(CutSplit(":x C:\\a", {a, sizeof a}, {b, sizeof b}, &fault));
  EXPECT_EQ(fault.note, ScriptNote::kMissingField);
  EXPECT_FALSE(CutSplit("12345678,b", {a, sizeof a}, {b, sizeof b}, &fault));
  EXPECT_EQ(fault.note, ScriptNote::kFieldTooLong);
}

TEST(ScriptLines, CommasNeedFourAndKeepTheRestWhole) {
  char f[5][8];
  const FieldBuffer fields[5] = {{f[0], 8}, {f[1], 8}, {f[2], 8}, {f[3], 8}, {f[4], 8}};
  CutFault fault{};
  ASSERT_TRUE(CutCommas("l,t,,,", fields, &fault));
  EXPECT_STREQ(f[0], "l");
  EXPECT_STREQ(f[1], "t");
  EXPECT_STREQ(f[4], "");
  ASSERT_TRUE(CutCommas("a,b,c,d,e,f", fields, &fault));
  EXPECT_STREQ(f[4], "e,f");
  EXPECT_FALSE(CutCommas("l,t,,", fields, &fault));
  EXPECT_EQ(fault.note, ScriptNote::kMissingField);
  EXPECT_FALSE(CutCommas("l,t", fields, &fault));
}

TEST(ScriptLines, DecimalsReadSignAndDigitsUpToTheFirstOther) {
  struct Case {
    const char* text;
    int32_t value;
    int clean;
  } cases[] = {
      {"1", 1, 1},        {"  -1", -1, 1},   {"+42", 42, 1},        {"", 0, 0},
      {"-", 0, 0},        {"12abc", 12, 0},  {"abc", 0, 0},         {" \t7", 7, 1},
      {"- 5", 0, 0},      {"4294967295", -1, 1}, {"2147483648", INT32_MIN, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    int clean = -1;
    EXPECT_EQ(ReadDecimal(c.text, &clean), c.value);
    EXPECT_EQ(clean, c.clean);
  }
}

}  // namespace
