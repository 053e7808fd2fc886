// The script format as the loader reads it: line ends and cut lines, numbers, section headers
// with their keywords, tags and the OS rule, whole scripts through the loader with the notes
// it gives, the component rule, and the expansion of macros in the fields.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "core/bounded_string.h"
#include "core/macros.h"
#include "core/script_header.h"
#include "core/script_line.h"
#include "core/script_parser.h"
#include "tools/cnfcheck/item_view.h"

namespace {

using Strings = std::vector<std::string>;

const OsVersion kWinXP = {2, 5, 1, 2600};

// CR LF, LF and CR alone each end a line; LF CR is two line ends; nothing is trimmed; a line
// is cut at its buffer and the cut reported.
TEST(ScriptLines, EveryLineEndReadsTheSameAndALongLineIsCut) {
  const std::string exact(4095, 'x');
  const std::pair<std::string, Strings> cases[] = {
      {"[AddFile]\r\n:a,b\r\n ;x \r\n", {"[AddFile]", ":a,b", " ;x "}},
      {"[AddFile]\n:a,b\n ;x \n", {"[AddFile]", ":a,b", " ;x "}},
      {"[AddFile]\r:a,b\r ;x ", {"[AddFile]", ":a,b", " ;x "}},
      {"a\n\r b\r\n\r\n", {"a", "", " b", ""}},
      {exact + "\r\n" + std::string(4096, 'y') + "\nz", {exact, "cut " + std::string(4095, 'y'), "z"}},
  };
  for (const auto& [text, expected] : cases) {
    Strings lines;
    size_t pos = 0;
    char line[kScriptLineSize];
    int cut = 0;
    while (ReadScriptLine(text.data(), text.size(), &pos, line, sizeof line, &cut))
      lines.push_back((cut ? "cut " : "") + std::string(line));
    EXPECT_EQ(lines, expected);
  }
}

// Keywords match as prefixes, in their order, without case; tags are whole words between a dot
// and a dot or "]", anywhere in the line and in any case, "!" negating them.
TEST(ScriptHeaders, KeywordsAndTags) {
  const std::tuple<const char*, ScriptAction, ComponentSet, ComponentSet, OsTagSet> cases[] = {
      {"[addfile.ui]", ScriptAction::kAddFile, kComponentUI, 0, 0},
      {"[AddFileX.UIX.XUI]", ScriptAction::kAddFile, 0, 0, 0},
      {"[EnableTextLines.SC]", ScriptAction::kEnableTextLine, kComponentSC, 0, 0},
      {"[DISABLETEXTLINE.!SC.WinNT]", ScriptAction::kDisableTextLine, 0, kComponentSC, kOsTagWinNT},
      {"[UpdateFile.Driver.Win9x.Help]]", ScriptAction::kUpdateFile, kComponentDriver | kComponentHelp, 0, kOsTagWin9x},
      {"[AppendFile.SC.!SC", ScriptAction::kAppendFile, kComponentSC, 0, 0},  // the last tag is not enclosed
      {"[AddRegValue]x.SMS.", ScriptAction::kAddRegValue, kComponentSMS, 0, 0},
      {"[AddShellLink.Admin.!UI]", ScriptAction::kAddShellLink, kComponentAdmin, kComponentUI, 0},
      {"[AddFil]", ScriptAction::kNone, 0, 0, 0},
      {" [AddFile]", ScriptAction::kNone, 0, 0, 0},
  };
  for (const auto& [line, action, include, exclude, osInclude] : cases) {
    SCOPED_TRACE(line);
    EXPECT_EQ(MatchActionKeyword(line), action);
    SectionHeader h{};
    EXPECT_EQ(ParseSectionHeader(line, &h, nullptr), action != ScriptAction::kNone);
    if (action != ScriptAction::kNone) {
      EXPECT_EQ(std::make_tuple(h.includeMask, h.excludeMask, h.osInclude),
                std::make_tuple(include, exclude, osInclude));
    }
  }
}

// A section loads when one positive OS tag holds (or there is none) and no negated one does.
TEST(ScriptHeaders, TheOsRule) {
  // 98 SE, ME, NT 4.0, 2000, XP and the first edition of 98.
  const OsVersion systems[] = {{1, 4, 10, (4u << 24) | (10u << 16) | 2222u}, {1, 4, 90, 3000}, {2, 4, 0, 1381},
                               {2, 5, 0, 2195}, kWinXP, {1, 4, 10, 1998}};
  const std::pair<const char*, const char*> cases[] = {
      {"[AddFile.UI.SC]", "111111"},  // component tags do not count here
      {"[AddFile.Win9x.WinNT]", "111111"},
      {"[AddFile.WinNT.!WinXP]", "001100"},
      {"[AddFile.!Win9x]", "001110"},
      {"[AddFile.Win98SE]", "100000"},
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
                    (note.field >= 0 ? "@" + std::to_string(note.field) : ""));
  }
  void OnPrecache(FileItem& item) override { precached.emplace_back(item.source); }
  Strings notes, precached;
};

// A loaded script, and its items list by list in run order as "line:field|field|...", with
// "+include-exclude" when the section has component tags.
struct Loaded {
  InstallScript script;
  Recorder recorder;
  Strings items;
};

void Load(const std::string& text, Loaded* l, const OsVersion& os = kWinXP) {
  ASSERT_EQ(ParseScriptText(text.data(), text.size(), os, &l->script, &l->recorder), 1);
  std::vector<ItemView> views;
  CollectItemViews(l->script, &views);
  for (const ItemView& v : views) {
    std::string item = std::to_string(v.line) + ":";
    for (const ItemField& f : v.fields) item += (f.isNumber ? std::to_string(f.number) : f.text) + "|";
    if (v.includeMask || v.excludeMask)
      item += "+" + std::to_string(v.includeMask) + "-" + std::to_string(v.excludeMask);
    l->items.push_back(item);
  }
}

TEST(ScriptParser, CommentsStrayLinesAndUnknownBracketLines) {
  Loaded l;
  Load(":early,x\r\n[Bogus]\r\n[AddFile.UI]\r\n;:comment,x\r\n\r\n ;:blank first,x\r\n:a,C:\\a;b\r\n"
       "[AddRegFile]\n:General.reg\n[Settings]\n[AddFileX]\n:b,c\n",
       &l);
  // A blank opens a data line, not a comment; ";" behind data is data; "[AddFileX]" opens a section.
  EXPECT_EQ(l.items, (Strings{"9::General.reg|", "10:[Settings]|", "6: ;:blank first|x|0|0|+1-0",
                              "7::a|C:\\a;b|0|0|+1-0", "12::b|c|0|0|"}));
  EXPECT_EQ(l.recorder.notes, (Strings{"1:before-first-section", "2:unknown-keyword", "2:before-first-section",
                                       "10:unknown-keyword", "11:keyword-runs-on"}));
}

// The split cut: the first field up to the first comma, the rest whole; AddFile takes out
// each flag once, in any case, before the split.
TEST(ScriptParser, FileLinesTakeOutTheirFlagsOnceBeforeTheSplit) {
  Loaded l;
  Load("[AddFile]\n:License.txt,<PRECACHE>\n:%SOURCEFOLDER%\\R.txt,%TARGETFOLDER%\\R.txt<PRECACHE><OPTIONAL>\n"
       "<optional>:x.dll,C:\\x.dll<Optional>\n:a,C:\\b,c.txt\n:nocomma\n[UpdateFile]\n:u.inf,C:\\u.inf<optional>\n",
       &l);
  EXPECT_EQ(l.items, (Strings{"8::u.inf|C:\\u.inf<optional>|0|0|", "2::License.txt||1|0|",
                              "3::%SOURCEFOLDER%\\R.txt|%TARGETFOLDER%\\R.txt|1|1|",
                              "4::x.dll|C:\\x.dll<Optional>|0|1|", "5::a|C:\\b,c.txt|0|0|"}));
  EXPECT_EQ(l.recorder.notes, (Strings{"6:missing-field@1"}));
  EXPECT_EQ(l.recorder.precached, (Strings{":License.txt", ":%SOURCEFOLDER%\\R.txt"}));
}

// The scan cut: fields end at a comma or an apostrophe, the last one at a blank.
TEST(ScriptParser, RegistryValueLinesFollowTheScanCut) {
  Loaded l;
  Load("[AddRegValue.Admin]\nHKLM,Software\\%Zx14%\\Main UI,RunFirst,REG_DWORD,1\n"
       "hklm,Software\\X,Path,reg_sz,C:\\Program Files\\X\nHKLM,K,Minus,REG_DWORD,-1\nHKLM,K,N,REG_SZ,e,f'g\n"
       "HKLM,K,Digits,REG_DWORD,12x\nHKCU,K,N,REG_SZ,a\nHKLM,K,N,REG_BINARY,a\nHKLM,K'ey,N,REG_SZ,x\n"
       "HKLM,K,,REG_SZ,x\nHKLM,K,N,REG_SZ, x\nHKLM,K,N,REG_SZ\nHKLM,K,N,REG_DWORD,+4294967297\n",
       &l);
  EXPECT_EQ(l.items, (Strings{"2:HKEY_LOCAL_MACHINE|Software\\%Zx14%\\Main UI|RunFirst|4||1|4|+2-0",
                              "3:HKEY_LOCAL_MACHINE|Software\\X|Path|1|C:\\Program|0|10|+2-0",
                              "4:HKEY_LOCAL_MACHINE|K|Minus|4||4294967295|4|+2-0",
                              "5:HKEY_LOCAL_MACHINE|K|N|1|e,f'g|0|5|+2-0",
                              "6:HKEY_LOCAL_MACHINE|K|Digits|4||12|4|+2-0",
                              "13:HKEY_LOCAL_MACHINE|K|N|4||1|4|+2-0"}));  // decimals wrap at 32 bits
  EXPECT_EQ(l.recorder.notes, (Strings{"3:trailing-text-ignored@4", "6:not-a-number@4", "7:unknown-root@0",
                                       "8:unknown-type@3", "9:apostrophe@1", "10:empty-field@2", "11:empty-field@4",
                                       "12:missing-field@4"}));
}

// The comma cut: four commas needed, the last field whole; the description cut to its buffer.
TEST(ScriptParser, ShellLinkIniTextLineAndFolderLines) {
  Loaded l;
  Load("[AddShellLink.Help.UI]\nC:\\r.lnk,C:\\R.txt,%LINKDESC_README%,,-1\nC:\\only.lnk,C:\\t.exe\n"
       "C:\\d.lnk,C:\\t.exe," + std::string(600, 'd') + ",C:\\i.ico,3,extra\n"
       "[ReplaceIniSection]\n:a.ini,Sec tion,C:\\My Files\\a.ini\n"
       "[DisableTextLine.!SC]\n%WINDOWSFOLDER%\\INF\\%Zx14%.inf,*Child0002*\nC:\\x.inf\n"
       "[AddFolder]\nC:\\Program Files\\Xelta\n",
       &l);
  EXPECT_EQ(l.items, (Strings{"6::a.ini|Sec tion|C:\\My|", "2:C:\\r.lnk|C:\\R.txt|%LINKDESC_README%||-1|+9-0",
                              "4:C:\\d.lnk|C:\\t.exe|" + std::string(511, 'd') + "|C:\\i.ico|3|+9-0",
                              "8:%WINDOWSFOLDER%\\INF\\%Zx14%.inf|*Child0002*|0|+0-32",
                              "11:C:\\Program Files\\Xelta|"}));
  EXPECT_EQ(l.recorder.notes, (Strings{"3:missing-field@2", "4:description-cut@2", "4:not-a-number@4",
                                       "6:trailing-text-ignored@2", "9:missing-field@1"}));
}

// Uninstall records read back with their empty fields; overlong lines and fields are cut or
// refused, never overrun; a load replaces what an earlier one read.
TEST(ScriptParser, RecordsOverlongLinesAndReloads) {
  Loaded l;
  Load("[AddFile.UI]\r\n,C:\\Apps\\Remove.cnf\r\n\r\n[AddShellLink.Admin.Help]\r\nC:\\Menu\\Help.lnk,,,,\r\n\r\n", &l);
  EXPECT_EQ(l.items, (Strings{"2:|C:\\Apps\\Remove.cnf|0|0|+1-0", "5:C:\\Menu\\Help.lnk||||0|+10-0"}));
  EXPECT_TRUE(l.recorder.notes.empty());
  const std::string path259 = "C:\\" + std::string(256, 'p');
  Loaded o;
  Load("[AddFile]\n:a," + path259 + "\n:a," + path259 + "q\n[AddFolder]\n" + path259 + "q\n" +
           std::string(5000, 'h') + "\n[ReplaceIniSection]\n:s," + std::string(256, 's') + ",C:\\f\n",
       &o);
  EXPECT_EQ(o.items, (Strings{"2::a|" + path259 + "|0|0|"}));
  EXPECT_EQ(o.recorder.notes, (Strings{"3:field-too-long@1", "5:field-too-long@0", "6:line-cut",
                                       "6:field-too-long@0", "8:field-too-long@1"}));
  EXPECT_EQ(ParseScriptText(nullptr, 0, kWinXP, &o.script, nullptr), 1);
  EXPECT_EQ(o.script.fileItems.Count(), 0u);
  EXPECT_EQ(ParseScriptText(nullptr, 3, kWinXP, &o.script, nullptr), 0);
}

// An item runs when no negated component is selected and either all its components are
// selected or the selection lies within them.
TEST(ScriptApplies, TheComponentRule) {
  const ComponentSet kUIHelp = kComponentUI | kComponentHelp;
  const std::tuple<ComponentSet, ComponentSet, ComponentSet, bool> cases[] = {
      {0, 0, 0, true},
      {kUIHelp, 0, kComponentUI, true},
      {kUIHelp, 0, kComponentUI | kComponentSMS, false},
      {kUIHelp, 0, kAllComponents, true},
      {kComponentUI, 0, 0, true},
      {0, kComponentSC, kComponentUI, true},
      {0, kComponentSC, kComponentSC | kComponentUI, false},
      {kComponentSC, kComponentSC, kComponentSC, false},
      {kComponentSC, kComponentSC, 0, true},
  };
  for (const auto& [include, exclude, selection, applies] : cases) {
    EXPECT_EQ(Applies(include, exclude, selection), applies) << include << " " << exclude << " " << selection;
  }
}

// Macro expansion: folders first, then string-table texts, each name replaced once per field
// with its exact case, and a result beyond the buffer refused with the field left as it was.
// The shipped string table's texts for some macro strings.
class FakeStrings : public StringTextSource {
 public:
  int LoadText(uint32_t id, char* buffer, size_t capacity) override {
    if (texts.count(id) == 0) return 0;
    CopyText(buffer, capacity, texts[id].c_str());
    return static_cast<int>(std::strlen(buffer));
  }
  std::map<uint32_t, std::string> texts = {
      {95, "Z614"}, {75, "Readme"}, {76, "Xelta Z614 Uninstall"}, {78, std::string(60, 'u')}};
};

const MacroFolders kFolders = {"D:\\Setup",        "C:\\Apps",        "C:\\WINDOWS",    "C:\\WINDOWS\\system32",
                               "C:\\All\\Start",   "C:\\U\\Startup",  "C:\\U\\Desktop", "C:\\U\\Programs",
                               "C:\\All\\Programs", "C:\\TEMP\\",     "C:\\All\\Data",  "C:\\All\\Documents"};

// "fits:field" after expanding `text` in a buffer of `capacity`.
std::string Expand(const std::string& text, size_t capacity = 260, const MacroFolders& folders = kFolders,
                   FakeStrings strings = FakeStrings()) {
  std::vector<char> buffer(capacity);
  CopyText(buffer.data(), capacity, text.c_str());
  const int fits = ExpandMacros(buffer.data(), capacity, folders, &strings);
  return std::to_string(fits) + ":" + buffer.data();
}

TEST(Macros, ExpandFoldersAndStringsOncePerFieldInTheirExactCase) {
  const std::pair<const char*, const char*> cases[] = {
      {"%TARGETFOLDER%\\a;%TARGETFOLDER%\\b", "1:C:\\Apps\\a;%TARGETFOLDER%\\b"},
      {"%TEMPFOLDER%\\x.tmp", "1:C:\\TEMP\\\\x.tmp"},
      {"%targetfolder%\\%zx14%", "1:%targetfolder%\\%zx14%"},
      {"%Zx14%%Zx14%", "1:Z614%Zx14%"},
      {"%SOURCEFOLDER%|%WINDOWSFOLDER%|%SYSTEMFOLDER%|%STARTMENUFOLDER%",
       "1:D:\\Setup|C:\\WINDOWS|C:\\WINDOWS\\system32|C:\\All\\Start"},
      {"%STARTUPFOLDER%|%DESKTOPFOLDER%|%PROGRAMSFOLDER%|%COMMONPROGRAMSFOLDER%",
       "1:C:\\U\\Startup|C:\\U\\Desktop|C:\\U\\Programs|C:\\All\\Programs"},
      {"%APPDATAFOLDER%|%COMMONDOCUMENTS%|%LINK_UNINSTALL%", "1:C:\\All\\Data|C:\\All\\Documents|Xelta Z614 Uninstall"},
      {"%COMMONPROGRAMSFOLDER%\\Xelta %Zx14%\\%LINK_README%.lnk", "1:C:\\All\\Programs\\Xelta Z614\\Readme.lnk"},
      {"[%LINK_SMS%] 50% off %", "1:[] 50% off %"},  // a text the table lacks is inserted empty
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(Expand(text), expected) << text;
  MacroFolders empty = kFolders;
  empty.targetFolder = nullptr;
  EXPECT_EQ(Expand("%TARGETFOLDER%\\ReadMe.txt", 260, empty), "1:\\ReadMe.txt");
  FakeStrings longText;
  longText.texts[95] = std::string(400, 'z');
  EXPECT_EQ(Expand("%Zx14%", 4096, kFolders, longText), "1:" + std::string(254, 'z'));
}

TEST(Macros, FolderValuesGoInBeforeStringsAreSearched) {
  MacroFolders folders = kFolders;
  folders.targetFolder = "C:\\%Zx14%";
  EXPECT_EQ(Expand("%TARGETFOLDER%\\a", 260, folders), "1:C:\\Z614\\a");
  EXPECT_EQ(Expand("%Zx14%-%TARGETFOLDER%", 260, folders), "1:Z614-C:\\%Zx14%");  // the first occurrence
  // A folder value naming a later folder macro is expanded by it; an earlier one is not.
  folders.targetFolder = "%TEMPFOLDER%|%SOURCEFOLDER%";
  EXPECT_EQ(Expand("%TARGETFOLDER%", 260, folders), "1:C:\\TEMP\\|%SOURCEFOLDER%");
}

TEST(Macros, AResultBeyondTheBufferIsRefusedAndTheTextKept) {
  MacroFolders folders = kFolders;
  const std::string folder(250, 'f');
  folders.targetFolder = folder.c_str();
  EXPECT_EQ(Expand("%TARGETFOLDER%\\12345678", 260, folders), "1:" + folder + "\\12345678");  // 259 characters
  EXPECT_EQ(Expand("%TARGETFOLDER%\\123456789", 260, folders), "0:%TARGETFOLDER%\\123456789");
  // A late refusal puts back the replacements already made.
  EXPECT_EQ(Expand("%TARGETFOLDER% %LINKDESC_UI%", 64), "0:%TARGETFOLDER% %LINKDESC_UI%");
}

}  // namespace
