#include "core/script_header.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class RecordedNotes : public HeaderNoteSink {
 public:
  void OnHeaderNote(ScriptNote note, const char* detail) override {
    notes.push_back(std::string(ScriptNoteName(note)) + ":" + detail);
  }
  std::vector<std::string> notes;
};

TEST(ScriptHeaders, KeywordsMatchAsPrefixesInTheirOrderWithoutCase) {
  struct Case {
    const char* line;
    ScriptAction action;
  } cases[] = {
      {"[AddFile.UI]", ScriptAction::kAddFile},
      {"[addfile.ui]", ScriptAction::kAddFile},
      {"[AddFileX]", ScriptAction::kAddFile},
      {"[EnableTextLines.SC]", ScriptAction::kEnableTextLine},
      {"[DISABLETEXTLINE.!SC.WinNT]", ScriptAction::kDisableTextLine},
      {"[AddRegValue]", ScriptAction::kAddRegValue},
      {"[AddRegFile]", ScriptAction::kAddRegFile},
      {"[AddShellLink.Help.UI]", ScriptAction::kAddShellLink},
      {"[AddFolder]", ScriptAction::kAddFolder},
      {"[ReplaceIniSection]", ScriptAction::kReplaceIniSection},
      {"[UpdateFile.Driver.Win9x]", ScriptAction::kUpdateFile},
      {"[AppendFile]", ScriptAction::kAppendFile},
      {"[AddFil]", ScriptAction::kNone},
      {"[Add File]", ScriptAction::kNone},
      {" [AddFile]", ScriptAction::kNone},
      {"AddFile", ScriptAction::kNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(MatchActionKeyword(c.line), c.action);
    SectionHeader header{};
    EXPECT_EQ(ParseSectionHeader(c.line, &header, nullptr), c.action != ScriptAction::kNone);
  }
  EXPECT_STREQ(ActionKeyword(ScriptAction::kAddShellLink), "AddShellLink");
}

TEST(ScriptHeaders, TagsAreFoundBetweenDotsAnywhereWithNegation) {
  struct Case {
    const char* line;
    ComponentSet include, exclude;
    OsTagSet osInclude, osExclude;
  } cases[] = {
      {"[AddFile.admin.ui]", kComponentUI | kComponentAdmin, 0, 0, 0},
      {"[DisableTextLine.!SC.WinNT]", 0, kComponentSC, kOsTagWinNT, 0},
      {"[AddFile.SC.!SC]", kComponentSC, kComponentSC, 0, 0},
      {"[AddFile.UIX]", 0, 0, 0, 0},             // a tag that only begins with a known name
      {"[AddFile.XUI]", 0, 0, 0, 0},
      {"[AddFile.UI", 0, 0, 0, 0},               // no "]": the last tag is not enclosed
      {"[AddFile.UI.", kComponentUI, 0, 0, 0},
      {"[AddFile]x.SMS.", kComponentSMS, 0, 0, 0},  // behind the bracket counts too
      {"[AddFile.Help]]", kComponentHelp, 0, 0, 0},
      {"[AddFileSC]", 0, 0, 0, 0},
      {"[AddFile.Driver.Help.SMS.!Admin.!UI]", kComponentDriver | kComponentHelp | kComponentSMS,
       kComponentAdmin | kComponentUI, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    SectionHeader h{};
    ASSERT_TRUE(ParseSectionHeader(c.line, &h, nullptr));
    EXPECT_EQ(h.includeMask, c.include);
    EXPECT_EQ(h.excludeMask, c.exclude);
    EXPECT_EQ(h.osInclude, c.osInclude);
    EXPECT_EQ(h.osExclude, c.osExclude);
  }
}

TEST(ScriptHeaders, NotesNameRunOnKeywordsOpenHeadersAndUnknownTags) {
  struct Case {
    const char* line;
    std::vector<std::string> notes;
  } cases[] = {
      {"[AddFile.UI.!WinXP]", {}},
      {"[AddRegValue]", {}},
      {"[EnableTextLines.SC]", {"keyword-runs-on:"}},
      {"[AddFile.UIX.Hlep]", {"unknown-tag:UIX", "unknown-tag:Hlep"}},
      {"[AddFile.!Foo]", {"unknown-tag:!Foo"}},
      {"[AddFile.UI", {"header-not-closed:"}},
      {"[AddFile..UI]", {"unknown-tag:"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    RecordedNotes notes;
    SectionHeader h{};
    ParseSectionHeader(c.line, &h, &notes);
    EXPECT_EQ(notes.notes, c.notes);
  }
}

const OsVersion kWin98 = {1, 4, 10, 1998};
const OsVersion kWin98SE = {1, 4, 10, (4u << 24) | (10u << 16) | 2222u};
const OsVersion kWinME = {1, 4, 90, 3000};
const OsVersion kNT4 = {2, 4, 0, 1381};
const OsVersion kWin2000 = {2, 5, 0, 2195};
const OsVersion kWinXP = {2, 5, 1, 2600};

TEST(ScriptHeaders, TheOsRuleNeedsOnePositiveTagAndNoNegatedOne) {
  struct Case {
    const char* line;
    bool win98se, winme, nt4, win2000, winxp;
  } cases[] = {
      {"[AddFile]", true, true, true, true, true},
      {"[AddFile.Win9x.WinNT]", true, true, true, true, true},
      {"[AddFile.WinNT.!WinXP]", false, false, true, true, false},
      {"[AddFile.!Win9x]", false, false, true, true, true},
      {"[AddFile.WinNT]", false, false, true, true, true},
      {"[AddFile.Win98SE]", true, false, false, false, false},
      {"[AddFile.WinME.WinXP]", false, true, false, false, true},
      {"[AddFile.Win2000]", false, false, false, true, false},
      {"[AddFile.Win9x.!WinME]", true, false, false, false, false},
      {"[AddFile.WinNT.!WinNT]", false, false, false, false, false},
      {"[AddFile.UI.SC]", true, true, true, true, true},  // component tags do not count here
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    SectionHeader h{};
    ASSERT_TRUE(ParseSectionHeader(c.line, &h, nullptr));
    EXPECT_EQ(SectionIsActive(h, kWin98SE), c.win98se);
    EXPECT_EQ(SectionIsActive(h, kWinME), c.winme);
    EXPECT_EQ(SectionIsActive(h, kNT4), c.nt4);
    EXPECT_EQ(SectionIsActive(h, kWin2000), c.win2000);
    EXPECT_EQ(SectionIsActive(h, kWinXP), c.winxp);
  }
  SectionHeader h{};
  ParseSectionHeader("[AddFile.Win98SE]", &h, nullptr);
  EXPECT_FALSE(SectionIsActive(h, kWin98));  // the first edition is no Win98SE
}

}  // namespace
