#include "core/bounded_string.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(BoundedString, CopyAndAppendCutAtCapacity) {
  char buf[8];
  EXPECT_EQ(CopyText(buf, sizeof buf, "1234567"), 1);
  EXPECT_STREQ(buf, "1234567");
  EXPECT_EQ(CopyText(buf, sizeof buf, "123456789"), 0);
  EXPECT_STREQ(buf, "1234567");
  CopyText(buf, sizeof buf, "abc");
  EXPECT_EQ(AppendText(buf, sizeof buf, "defgh"), 0);
  EXPECT_STREQ(buf, "abcdefg");
  EXPECT_EQ(AppendText(buf, sizeof buf, ""), 1);
}

TEST(BoundedString, FindTextNoCaseFollowsTheSetupRules) {
  const char* text = "cmd.exe /C DEL C:\\x";
  EXPECT_EQ(FindTextNoCase(text, " /c del "), text + 7);
  EXPECT_EQ(FindTextNoCase(text, ""), nullptr);
  EXPECT_EQ(FindTextNoCase("", "a"), nullptr);
  EXPECT_EQ(FindTextNoCase("ab", "abc"), nullptr);
  EXPECT_NE(FindTextNoCase("C:\\Uninstall.exe", "UNINSTALL.EXE"), nullptr);
}

TEST(BoundedString, ReplaceFirstMovesTheTailAndRefusesOverflow) {
  char buf[16] = "a%X%b%X%";
  EXPECT_EQ(ReplaceFirst(buf, sizeof buf, "%X%", "long"), 1);
  EXPECT_STREQ(buf, "alongb%X%");
  EXPECT_EQ(ReplaceFirst(buf, sizeof buf, "%x%", "y"), 0);  // exact variant keeps case
  EXPECT_EQ(ReplaceFirstNoCase(buf, sizeof buf, "%x%", ""), 1);
  EXPECT_STREQ(buf, "alongb");
  EXPECT_EQ(ReplaceFirst(buf, sizeof buf, "long", "0123456789abcd"), 0);  // would not fit
  EXPECT_STREQ(buf, "alongb");
  EXPECT_EQ(ReplaceFirst(buf, sizeof buf, "long", "0123456789abc"), 1);    // exactly fits
  EXPECT_EQ(std::strlen(buf), 15u);
}

TEST(BoundedString, ReadLineStepsOverOneCrAndOneLf) {
  const std::string data = "one\r\ntwo\n\rthree\r\rfour";
  size_t pos = 0;
  char line[4];
  std::string lines;
  while (ReadLine(data.data(), data.size(), &pos, line, sizeof line)) lines += std::string(line) + "|";
  // "\n\r" is a line end followed by an empty line; "three" is cut to the buffer.
  EXPECT_EQ(lines, "one|two||thr||fou|");
}

TEST(BoundedString, WildcardMatchesWholeNamesWithoutCase) {
  struct Case {
    const char* name;
    const char* pattern;
    bool match;
  } cases[] = {{"default.nwp", "*.NWP", true}, {"default.nwpx", "*.NWP", false},
               {"Z614SC.inf", "*Z?14SC.*", true}, {"AZ714sc.sys", "*Z?14SC.*", true},
               {"Z14SC.sys", "*Z?14SC.*", false}, {"Setup.cnf", "setup.cnf", true},
               {"Del1A.tmp", "Del*.*", true},     {"a", "*", true},
               {"", "*", true},                   {"abc", "a?", false}};
  for (const Case& c : cases) EXPECT_EQ(MatchWildcard(c.name, c.pattern), c.match) << c.name << " " << c.pattern;
}

}  // namespace
