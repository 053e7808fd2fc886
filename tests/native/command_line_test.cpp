#include "core/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Split(const char* text, int skipFirst = 0) {
  CommandLine line;
  line.Parse(text, skipFirst);
  std::vector<std::string> out;
  for (size_t i = 0; i < line.ArgumentCount(); ++i) out.emplace_back(line.Argument(i));
  return out;
}

using Args = std::vector<std::string>;

TEST(CommandLineParse, SplitsLikeTheSetup) {
  struct Case {
    const char* text;
    int skipFirst;
    Args expected;
  } cases[] = {
      {"", 0, {}},
      {"   \t ", 0, {}},
      {"/Cloned C:\\Setup.exe", 0, {"/Cloned", "C:\\Setup.exe"}},
      {"/Cloned \"C:\\My Files\\Setup.exe\" extra", 0, {"/Cloned", "C:\\My Files\\Setup.exe", "extra"}},
      {"a\"b c\"d", 0, {"ab cd"}},                       // a quoted stretch inside a token
      {"\"\" x", 0, {"x"}},                              // empty quotes alone give nothing
      {"x \"unterminated run", 0, {"x", "unterminated run"}},
      {"\"in\tquotes\"", 0, {"in\tquotes"}},             // control bytes kept inside quotes
      {"prog.exe /Cloned", 1, {"/Cloned"}},
      {"  \"prog files\\p.exe\"  a", 1, {"a"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Split(c.text, c.skipFirst), c.expected) << c.text;
}

TEST(CommandLineParse, CutsOverlongArgumentsWithoutShiftingPositions) {
  const std::string longArgument(400, 'x');
  const Args args = Split(("/Cloned " + longArgument + " next").c_str());
  ASSERT_EQ(args.size(), 3u);
  EXPECT_EQ(args[1], std::string(255, 'x'));
  EXPECT_EQ(args[2], "next");
}

TEST(CommandLineParse, ParseReplacesEarlierArguments) {
  CommandLine line;
  line.Parse("a b c", 0);
  line.Parse("d", 0);
  ASSERT_EQ(line.ArgumentCount(), 1u);
  EXPECT_STREQ(line.Argument(0), "d");
}

TEST(CommandLineSwitches, RecognisesSwitchForms) {
  struct Case {
    const char* argument;
    bool isSwitch;
  } cases[] = {{"/Cloned", true}, {"-Cloned", true}, {"+Cloned", true}, {"-5", false},
               {"+1.5e3", false}, {"-0", true},      {"Cloned", false}, {"", false}};
  for (const Case& c : cases) EXPECT_EQ(CommandLine::IsSwitch(c.argument), c.isSwitch) << c.argument;
}

TEST(CommandLineSwitches, FindsByWholeNameWithoutCase) {
  CommandLine line;
  line.Parse("x /clonedUNINSTALL a -CLONED b", 0);
  EXPECT_EQ(line.FindSwitch("Cloned"), 3);
  EXPECT_EQ(line.FindSwitch("ClonedUninstall"), 1);
  EXPECT_EQ(line.FindSwitch("Clone"), -1);
  EXPECT_EQ(line.FindSwitch("x"), -1);  // a value, not a switch
}

TEST(CommandLineSwitches, ReadsValuesOnlyWhenNotFollowedBySwitches) {
  struct Case {
    const char* text;
    int count;
    int found;
    const char* value;
  } cases[] = {
      {"/Cloned \"C:\\A B\\Setup.exe\"", 1, 1, "C:\\A B\\Setup.exe"},
      {"/Cloned /Other", 1, 0, "dflt"},       // the value would be a switch
      {"/Cloned", 1, 0, "dflt"},              // nothing behind the switch
      {"/Cloned a b", 2, 1, "b"},             // the last of count values
      {"/Cloned a", 2, 0, "dflt"},
      {"/Cloned a -x", 2, 0, "dflt"},
      {"/Cloned -5", 1, 1, "-5"},             // a number is a value
      {"a b", 1, 0, "dflt"},
  };
  for (const Case& c : cases) {
    CommandLine line;
    line.Parse(c.text, 0);
    char out[260] = "garbage";
    EXPECT_EQ(line.GetSwitchValue("cloned", c.count, out, sizeof out, "dflt"), c.found) << c.text;
    EXPECT_STREQ(out, c.value) << c.text;
  }
}

TEST(CommandLineSwitches, ValueIsCutToTheCallersBuffer) {
  CommandLine line;
  line.Parse("/Cloned C:\\abcdefgh", 0);
  char out[6];
  EXPECT_EQ(line.GetSwitchValue("Cloned", 1, out, sizeof out, ""), 1);
  EXPECT_STREQ(out, "C:\\ab");
}

}  // namespace
