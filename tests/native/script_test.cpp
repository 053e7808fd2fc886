// The script format as the loader reads it: line ends and cut lines, the scan cut and
// numbers, section headers with their keywords, tags and the OS rule, then whole scripts
// through the loader with the notes it gives, and the component rule.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "core/script_header.h"
#include "core/script_line.h"
#include "core/script_parser.h"

namespace {

using Strings = std::vector<std::string>;

const OsVersion kWin98 = {1, 4, 10, 1998};
const OsVersion kWin98SE = {1, 4, 10, (4u << 24) | (10u << 16) | 2222u};
const OsVersion kWinME = {1, 4, 90, 3000};
const OsVersion kNT4 = {2, 4, 0, 1381};
const OsVersion kWin2000 = {2, 5, 0, 2195};
const OsVersion kWinXP = {2, 5, 1, 2600};

Strings Lines(const std::string& text, std::vector<int>* cuts = nullptr) {
  Strings lines;
  size_t pos = 0;
  char line[kScriptLineSize];
  int cut = 0;
  while (ReadScriptLine(text.data(), text.size(), &pos, line, sizeof line, &cut)) {
    lines.emplace_back(line);
    if (cuts) cuts->push_back(cut);
  }
  return lines;
}

// CR LF, LF and CR alone each end a line; LF CR is two line ends; nothing is trimmed.
TEST(ScriptLines, EveryLineEndReadsTheSameAndALongLineIsCut) {
  for (const char* text : {"[AddFile]\r\n:a,b\r\n ;x \r\n", "[AddFile]\n:a,b\n ;x \n", "[AddFile]\r:a,b\r ;x "})
    EXPECT_EQ(Lines(text), (Strings{"[AddFile]", ":a,b", " ;x "})) << text;
  EXPECT_EQ(Lines("a\n\r b\r\n\r\n"), (Strings{"a", "", " b", ""}));
  std::vector<int> cuts;
  const std::string exact(4095, 'x');
  EXPECT_EQ(Lines(exact + "\r\n" + std::string(4096, 'y') + "\nz", &cuts),
            (Strings{exact, std::string(4095, 'y'), "z"}));
  EXPECT_EQ(cuts, (std::vector<int>{0, 1, 0}));
}

// Fields cut at a comma or apostrophe, the last at a blank; "" or a note and its field.
std::string Scan(const char* line, size_t cap = 16) {
  std::vector<std::vector<char>> storage(5, std::vector<char>(cap));
  std::vector<FieldBuffer> buffers;
  for (auto& s : storage) buffers.push_back(FieldBuffer{s.data(), s.size()});
  CutFault fault{ScriptNote::kNone, -1};
  int tail = -1;
  if (!CutScan(line, buffers.data(), buffers.size(), &fault, &tail))
    return std::string(ScriptNoteName(fault.note)) + "@" + std::to_string(fault.field);
  std::string fields;
  for (auto& s : storage) fields += std::string(s.data()) + "|";
  return fields + (tail ? "tail" : "");
}

TEST(ScriptLines, ScanCutsAtCommaOrApostropheAndTheLastFieldAtABlank) {
  const std::pair<const char*, const char*> cases[] = {
      {"HKLM,Software\\X Y,Run,REG_SZ,a b", "HKLM|Software\\X Y|Run|REG_SZ|a|tail"},
      {"a,b,c,d,e,f'g", "a|b|c|d|e,f'g|"},
      {"HKLM,Key,,REG_SZ,x", "empty-field@2"},
      {"HKLM,K'ey,n,REG_SZ,x", "apostrophe@1"},
      {"HKLM,Key,n,REG_SZ", "missing-field@4"},
      {"HKLM,Key,n,REG_SZ,", "empty-field@4"},
      {"HKLM,Key,n,REG_SZ, x", "empty-field@4"},
      {",Key,n,REG_SZ,x", "empty-field@0"},
  };
  for (const auto& [line, expected] : cases) EXPECT_EQ(Scan(line), expected) << line;
  // A field that fills its buffer refuses the line.
  EXPECT_EQ(Scan("abc,def,ghi,jkl,mno", 4), "abc|def|ghi|jkl|mno|");
  EXPECT_EQ(Scan("abcd,def,ghi,jkl,mno", 4), "field-too-long@0");
  EXPECT_EQ(Scan("abc,def,ghi,jkl,mnop", 4), "field-too-long@4");
}

TEST(ScriptLines, DecimalsReadSignAndDigitsUpToTheFirstOther) {
  const std::tuple<const char*, int32_t, int> cases[] = {
      {"1", 1, 1},     {"  -1", -1, 1}, {"+42", 42, 1},         {"", 0, 0},
      {"-", 0, 0},     {"12abc", 12, 0}, {" \t7", 7, 1},         {"- 5", 0, 0},
      {"4294967295", -1, 1},            {"2147483648", INT32_MIN, 1},
  };
  for (const auto& [text, value, clean] : cases) {
    int got = -1;
    EXPECT_EQ(ReadDecimal(text, &got), value) << text;
    EXPECT_EQ(got, clean) << text;
  }
}

class RecordedNotes : public HeaderNoteSink {
 public:
  void OnHeaderNote(ScriptNote note, const char* detail) override {
    notes.push_back(std::string(ScriptNoteName(note)) + ":" + detail);
  }
  Strings notes;
};

// Keywords match as prefixes in their order without case; tags are found between dots
// anywhere in the line, whole and in any case, "!" negating them.
TEST(ScriptHeaders, KeywordsTagsAndTheirNotes) {
  const std::tuple<const char*, ScriptAction, ComponentSet, ComponentSet, OsTagSet, Strings> cases[] = {
      {"[addfile.ui]", ScriptAction::kAddFile, kComponentUI, 0, 0, {}},
      {"[AddFileX]", ScriptAction::kAddFile, 0, 0, 0, {"keyword-runs-on:"}},
      {"[EnableTextLines.SC]", ScriptAction::kEnableTextLine, kComponentSC, 0, 0, {"keyword-runs-on:"}},
      {"[DISABLETEXTLINE.!SC.WinNT]", ScriptAction::kDisableTextLine, 0, kComponentSC, kOsTagWinNT, {}},
      {"[AddShellLink.Help.UI]", ScriptAction::kAddShellLink, kComponentUI | kComponentHelp, 0, 0, {}},
      {"[UpdateFile.Driver.Win9x]", ScriptAction::kUpdateFile, kComponentDriver, 0, kOsTagWin9x, {}},
      {"[AppendFile.SC.!SC]", ScriptAction::kAppendFile, kComponentSC, kComponentSC, 0, {}},
      {"[AddRegValue.UIX.Hlep]", ScriptAction::kAddRegValue, 0, 0, 0, {"unknown-tag:UIX", "unknown-tag:Hlep"}},
      {"[AddRegFile.XUI.!Foo]", ScriptAction::kAddRegFile, 0, 0, 0, {"unknown-tag:XUI", "unknown-tag:!Foo"}},
      {"[AddFolder.UI", ScriptAction::kAddFolder, 0, 0, 0, {"header-not-closed:"}},  // last tag not enclosed
      {"[ReplaceIniSection.UI.", ScriptAction::kReplaceIniSection, kComponentUI, 0, 0, {"header-not-closed:"}},
      {"[AddFile]x.SMS.", ScriptAction::kAddFile, kComponentSMS, 0, 0, {"unknown-tag:x"}},
      {"[AddFile..Help]]", ScriptAction::kAddFile, kComponentHelp, 0, 0, {"unknown-tag:"}},
      {"[AddFil]", ScriptAction::kNone, 0, 0, 0, {}},
      {"[Add File]", ScriptAction::kNone, 0, 0, 0, {}},
      {" [AddFile]", ScriptAction::kNone, 0, 0, 0, {}},
  };
  for (const auto& [line, action, include, exclude, osInclude, notes] : cases) {
    SCOPED_TRACE(line);
    EXPECT_EQ(MatchActionKeyword(line), action);
    SectionHeader h{};
    RecordedNotes recorded;
    EXPECT_EQ(ParseSectionHeader(line, &h, &recorded), action != ScriptAction::kNone);
    if (action == ScriptAction::kNone) continue;
    EXPECT_EQ(std::make_tuple(h.includeMask, h.excludeMask, h.osInclude), std::make_tuple(include, exclude, osInclude));
    EXPECT_EQ(recorded.notes, notes);
  }
}

// A section loads when one positive OS tag holds (or there is none) and no negated one does.
TEST(ScriptHeaders, TheOsRule) {
  const OsVersion systems[] = {kWin98SE, kWinME, kNT4, kWin2000, kWinXP, kWin98};
  const std::pair<const char*, const char*> cases[] = {
      {"[AddFile.UI.SC]", "111111"},  // component tags do not count here
      {"[AddFile.Win9x.WinNT]", "111111"},
      {"[AddFile.WinNT.!WinXP]", "001100"},
      {"[AddFile.!Win9x]", "001110"},
      {"[AddFile.Win98SE]", "100000"},  // the first edition of 98 is no Win98SE
      {"[AddFile.WinME.WinXP]", "010010"},
      {"[AddFile.Win2000]", "000100"},
      {"[AddFile.Win9x.!WinME]", "100001"},
      {"[AddFile.WinNT.!WinNT]", "000000"},
  };
  for (const auto& [line, expected] : cases) {
    SectionHeader h{};
    ASSERT_TRUE(ParseSectionHeader(line, &h, nullptr));
    std::string active;
    for (const OsVersion& os : systems) active += SectionIsActive(h, os) ? '1' : '0';
    EXPECT_EQ(active, expected) << line;
  }
}

class Recorder : public ScriptParseListener {
 public:
  void OnNote(const ScriptDiagnostic& note) override {
    notes.push_back(std::to_string(note.lineNumber) + ":" + ScriptNoteName(note.note) +
                    (note.field >= 0 ? "@" + std::to_string(note.field) : "") +
                    (*note.detail ? std::string("=") + note.detail : ""));
  }
  void OnPrecache(FileItem& item) override {
    precached.emplace_back(item.source);
    item.precacheData.reset(new uint8_t[3]{'L', 'i', 'c'});
    item.precacheSize = 3;
  }
  Strings notes, precached;
};

struct Loaded {
  InstallScript script;
  Recorder recorder;
};

void Load(const std::string& text, const OsVersion& os, Loaded* loaded) {
  ASSERT_EQ(ParseScriptText(text.data(), text.size(), os, &loaded->script, &loaded->recorder), 1);
}

TEST(ScriptParser, CommentsStrayLinesAndUnknownBracketLines) {
  Loaded l;
  Load(":early,x\r\n[Bogus]\r\n[AddFile.UI]\r\n;:comment,x\r\n\r\n ;:blank first,x\r\n:a,C:\\a;b\r\n"
       "[AddRegFile]\n:General.reg\n[Settings]\n[NoComma]\n[AddFileX]\n:b,c\n",
       kWinXP, &l);
  ASSERT_EQ(l.script.fileItems.Count(), 3u);
  EXPECT_STREQ(l.script.fileItems.At(0)->source, " ;:blank first");  // a data line, not a comment
  EXPECT_STREQ(l.script.fileItems.At(1)->destination, "C:\\a;b");     // ";" behind data is data
  EXPECT_EQ(l.script.fileItems.At(1)->includeMask, kComponentUI);
  EXPECT_EQ(l.script.fileItems.At(1)->lineNumber, 7u);
  EXPECT_EQ(l.script.fileItems.At(2)->includeMask, 0u);  // "[AddFileX]" opened a new section
  ASSERT_EQ(l.script.regFileItems.Count(), 3u);
  EXPECT_STREQ(l.script.regFileItems.At(1)->source, "[Settings]");  // unknown: data of the section
  EXPECT_EQ(l.recorder.notes, (Strings{"1:before-first-section", "2:unknown-keyword", "2:before-first-section",
                                       "10:unknown-keyword", "11:unknown-keyword", "12:keyword-runs-on"}));
}

// The split cut: flags taken out once in any case (AddFile only), the rest after one comma.
TEST(ScriptParser, AddFileFlagsAreTakenOutOnceBeforeTheSplit) {
  Loaded l;
  Load("[AddFile]\n:License.txt,<PRECACHE>\n:%SOURCEFOLDER%\\ReadMe.txt,%TARGETFOLDER%\\R.txt<PRECACHE><OPTIONAL>\n"
       "<optional>:x.dll,C:\\x.dll<Optional>\n:a,C:\\b,c.txt\n:nocomma\n[UpdateFile]\n:u.inf,C:\\u.inf<optional>\n",
       kWinXP, &l);
  ASSERT_EQ(l.script.fileItems.Count(), 4u);
  const FileItem& license = *l.script.fileItems.At(0);
  EXPECT_STREQ(license.destination, "");
  EXPECT_EQ(license.precache + 2 * license.optional, 1u);
  EXPECT_EQ(license.precacheSize, 3u);  // the precache step ran right after the append
  const FileItem& readme = *l.script.fileItems.At(1);
  EXPECT_STREQ(readme.destination, "%TARGETFOLDER%\\R.txt");
  EXPECT_EQ(readme.precache + 2 * readme.optional, 3u);
  EXPECT_STREQ(l.script.fileItems.At(2)->source, ":x.dll");
  EXPECT_STREQ(l.script.fileItems.At(2)->destination, "C:\\x.dll<Optional>");
  EXPECT_STREQ(l.script.fileItems.At(3)->destination, "C:\\b,c.txt");
  EXPECT_STREQ(l.script.updateItems.At(0)->destination, "C:\\u.inf<optional>");
  EXPECT_EQ(l.script.updateItems.At(0)->optional, 0u);
  EXPECT_EQ(l.recorder.precached, (Strings{":License.txt", ":%SOURCEFOLDER%\\ReadMe.txt"}));
  EXPECT_EQ(l.recorder.notes, (Strings{"6:missing-field@1"}));
}

TEST(ScriptParser, RegistryValueLinesFollowTheScanCut) {
  Loaded l;
  Load("[AddRegValue.Admin]\nHKLM,Software\\%Zx14%\\Main UI,RunFirst,REG_DWORD,1\n"
       "hklm,Software\\X,Path,reg_sz,C:\\Program Files\\X\nHKLM,Software\\X,Minus,REG_DWORD,-1\n"
       "HKCU,Software\\X,Name,REG_SZ,a\nHKLM,Software\\X,Name,REG_BINARY,a\nHKLM,Software\\X,Name,REG_SZ,it's\n"
       "HKLM,Software\\X,Digits,REG_DWORD,12x\n",
       kWinXP, &l);
  ASSERT_EQ(l.script.regValueItems.Count(), 5u);
  const RegValueItem& run = *l.script.regValueItems.At(0);
  EXPECT_EQ(run.root, RegistryRoot::kLocalMachine);
  EXPECT_STREQ(run.key, "Software\\%Zx14%\\Main UI");
  EXPECT_EQ(std::make_tuple(run.type, run.dwordValue, run.dataSize), std::make_tuple(kRegDword, 1u, 4u));
  EXPECT_EQ(run.includeMask, kComponentAdmin);
  const RegValueItem& path = *l.script.regValueItems.At(1);
  EXPECT_EQ(path.type, kRegSz);
  EXPECT_STREQ(path.data, "C:\\Program");  // the data ends at its first blank
  EXPECT_EQ(path.dataSize, 10u);
  EXPECT_EQ(l.script.regValueItems.At(2)->dwordValue, 0xFFFFFFFFu);
  EXPECT_STREQ(l.script.regValueItems.At(3)->data, "it's");  // the last field may hold "'"
  EXPECT_EQ(l.script.regValueItems.At(4)->dwordValue, 12u);
  EXPECT_EQ(l.recorder.notes, (Strings{"3:trailing-text-ignored@4", "5:unknown-root@0", "6:unknown-type@3",
                                       "8:not-a-number@4"}));
}

// The comma cut: four commas, the last field whole, the description cut to its buffer.
TEST(ScriptParser, ShellLinkIniTextLineAndFolderLines) {
  Loaded l;
  Load("[AddShellLink.Help.UI]\nC:\\r.lnk,C:\\ReadMe.txt,%LINKDESC_README%,,-1\nC:\\only.lnk,C:\\t.exe\n"
       "C:\\d.lnk,C:\\t.exe," + std::string(600, 'd') + ",C:\\i.ico,3,extra\n"
       "[ReplaceIniSection]\n:a.ini,Sec tion,C:\\My Files\\a.ini\n"
       "[DisableTextLine.!SC]\n%WINDOWSFOLDER%\\INF\\%Zx14%.inf,*Child0002*\nC:\\x.inf\n"
       "[AddFolder]\nC:\\Program Files\\Xelta\n",
       kWinXP, &l);
  ASSERT_EQ(l.script.shellLinkItems.Count(), 2u);
  const ShellLinkItem& readme = *l.script.shellLinkItems.At(0);
  EXPECT_STREQ(readme.description, "%LINKDESC_README%");
  EXPECT_EQ(readme.iconIndex, -1);
  EXPECT_EQ(readme.includeMask, kComponentUI | kComponentHelp);
  EXPECT_EQ(std::strlen(l.script.shellLinkItems.At(1)->description), 511u);
  EXPECT_EQ(l.script.shellLinkItems.At(1)->iconIndex, 3);  // "3,extra": up to the first non-digit
  EXPECT_STREQ(l.script.iniSectionItems.At(0)->section, "Sec tion");
  EXPECT_STREQ(l.script.iniSectionItems.At(0)->file, "C:\\My");
  ASSERT_EQ(l.script.textLineItems.Count(), 1u);
  EXPECT_EQ(l.script.textLineItems.At(0)->enable, 0u);
  EXPECT_EQ(l.script.textLineItems.At(0)->excludeMask, kComponentSC);
  EXPECT_STREQ(l.script.folderItems.At(0)->folder, "C:\\Program Files\\Xelta");
  EXPECT_EQ(l.recorder.notes, (Strings{"3:missing-field@2", "4:description-cut@2", "4:not-a-number@4",
                                       "6:trailing-text-ignored@2", "9:missing-field@1"}));
}

TEST(ScriptParser, SectionsAreSelectedByTheRunningSystem) {
  const std::string text = "[AddFile.Win9x]\n:9x,a\n[AddFile.WinNT.!WinXP]\n:nt-not-xp,a\n[AddFile]\n:all,a\n";
  const std::pair<OsVersion, Strings> cases[] = {
      {kWin98SE, {":9x", ":all"}}, {kWin2000, {":nt-not-xp", ":all"}}, {kWinXP, {":all"}}};
  for (const auto& [os, expected] : cases) {
    Loaded l;
    Load(text, os, &l);
    Strings sources;
    for (size_t i = 0; i < l.script.fileItems.Count(); ++i) sources.emplace_back(l.script.fileItems.At(i)->source);
    EXPECT_EQ(sources, expected);
    if (os.build == kWinXP.build) {
      EXPECT_EQ(l.recorder.notes, (Strings{"1:inactive-section", "2:inactive-line", "3:inactive-section",
                                           "4:inactive-line"}));
    }
  }
}

TEST(ScriptParser, UninstallRecordsReadBackWithEmptyFields) {
  Loaded l;
  Load("[AddFile.UI]\r\n,C:\\Apps\\Remove.cnf\r\n\r\n[AddShellLink.Admin.Help]\r\nC:\\Menu\\Help.lnk,,,,\r\n\r\n"
       "[AddFolder]\r\nC:\\Apps\r\n\r\n",
       kWin98SE, &l);
  EXPECT_STREQ(l.script.fileItems.At(0)->source, "");
  EXPECT_STREQ(l.script.fileItems.At(0)->destination, "C:\\Apps\\Remove.cnf");
  EXPECT_EQ(l.script.shellLinkItems.At(0)->includeMask, kComponentAdmin | kComponentHelp);
  EXPECT_EQ(l.script.RunItemCount(), 2u);  // folders are no run items
  EXPECT_EQ(l.script.folderItems.Count(), 1u);
  EXPECT_TRUE(l.recorder.notes.empty());
}

TEST(ScriptParser, OverlongLinesAndFieldsAreCutOrRefusedNeverOverrun) {
  const std::string path259 = "C:\\" + std::string(256, 'p');
  Loaded l;
  Load("[AddFile]\n:a," + path259 + "\n:a," + path259 + "q\n[AddFolder]\n" + path259 + "q\n" +
           std::string(5000, 'h') + "\n[ReplaceIniSection]\n:s," + std::string(256, 's') + ",C:\\f\n",
       kWinXP, &l);
  ASSERT_EQ(l.script.fileItems.Count(), 1u);
  EXPECT_STREQ(l.script.fileItems.At(0)->destination, path259.c_str());
  EXPECT_EQ(l.script.folderItems.Count() + l.script.iniSectionItems.Count(), 0u);
  EXPECT_EQ(l.recorder.notes, (Strings{"3:field-too-long@1", "5:field-too-long@0", "6:line-cut",
                                       "6:field-too-long@0", "8:field-too-long@1"}));
  // A later load replaces what an earlier one read.
  EXPECT_EQ(ParseScriptText(nullptr, 0, kWinXP, &l.script, nullptr), 1);
  EXPECT_EQ(l.script.fileItems.Count(), 0u);
  EXPECT_EQ(ParseScriptText(nullptr, 3, kWinXP, &l.script, nullptr), 0);
}

TEST(ScriptParser, FindFileItemComparesTheSourceFileNameWithoutCase) {
  Loaded l;
  Load("[AddFile]\n:Docs\\readme.txt,a\nC:\\x\\License.txt,b\n:License.txt,<precache>\n", kWinXP, &l);
  EXPECT_EQ(FindFileItem(l.script, "LICENSE.TXT"), l.script.fileItems.At(1));
  EXPECT_EQ(FindFileItem(l.script, "ReadMe.txt"), l.script.fileItems.At(0));
  EXPECT_EQ(FindFileItem(l.script, "Docs"), nullptr);
}

// An item runs when its section names no selected-out component and no selected excluded one.
TEST(ScriptApplies, TheComponentRule) {
  const ComponentSet kUIHelp = kComponentUI | kComponentHelp;
  const std::tuple<ComponentSet, ComponentSet, ComponentSet, bool> cases[] = {
      {0, 0, 0, true},
      {kUIHelp, 0, kComponentUI, true},
      {kUIHelp, 0, kComponentUI | kComponentSMS, false},
      {kUIHelp, 0, kAllComponents, true},
      {kComponentUI, 0, kComponentSMS, false},
      {kComponentUI, 0, 0, true},
      {0, kComponentSC, kComponentUI, true},
      {0, kComponentSC, kComponentSC | kComponentUI, false},
      {kComponentSC, kComponentSC, kComponentSC, false},
      {kComponentSC, kComponentSC, kComponentUI, false},
      {kComponentSC, kComponentSC, 0, true},
  };
  for (const auto& [include, exclude, selection, applies] : cases) {
    SCOPED_TRACE(testing::Message() << include << " " << exclude << " " << selection);
    EXPECT_EQ(Applies(include, exclude, selection), applies);
    FolderItem item{};
    item.includeMask = include;
    item.excludeMask = exclude;
    EXPECT_EQ(Applies(item, selection), applies);
  }
}

}  // namespace
