#include "core/script_parser.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const OsVersion kWin98SE = {1, 4, 10, (4u << 24) | (10u << 16) | 2222u};
const OsVersion kWinXP = {2, 5, 1, 2600};
const OsVersion kWin2000 = {2, 5, 0, 2195};

class Recorder : public ScriptParseListener {
 public:
  void OnNote(const ScriptDiagnostic& note) override {
    notes.push_back(std::to_string(note.lineNumber) + ":" + ScriptNoteName(note.note) +
                    (note.field >= 0 ? "@" + std::to_string(note.field) : "") +
                    (*note.detail ? std::string("=") + note.detail : ""));
  }
  void OnPrecache(FileItem& item) override {
    precached.emplace_back(item.source);
    static const uint8_t kBytes[] = {'L', 'i', 'c'};
    item.precacheData.reset(new uint8_t[3]);
    std::memcpy(item.precacheData.get(), kBytes, 3);
    item.precacheSize = 3;
  }
  std::vector<std::string> notes;
  std::vector<std::string> precached;
};

struct Loaded {
  InstallScript script;
  Recorder recorder;
};

void Load(const std::string& text, const OsVersion& os, Loaded* loaded) {
  ASSERT_EQ(ParseScriptText(text.data(), text.size(), os, &loaded->script, &loaded->recorder), 1);
}

TEST(ScriptParser, CommentsEmptyLinesAndLinesBeforeTheFirstHeaderAreSkipped) {
  Loaded l;
  Load(":early,x\r\n"
       "[Bogus]\r\n"
       "[AddFile.UI]\r\n"
       ";:comment,x\r\n"
       "\r\n"
       " ;:blank first,x\r\n"
       ":a,C:\\a;b\r\n",
       kWinXP, &l);
  ASSERT_EQ(l.script.fileItems.Count(), 2u);
  EXPECT_STREQ(l.script.fileItems.At(0)->source, " ;:blank first");  // a data line, not a comment
  EXPECT_STREQ(l.script.fileItems.At(1)->destination, "C:\\a;b");    // ";" behind data is data
  EXPECT_EQ(l.script.fileItems.At(1)->includeMask, kComponentUI);
  EXPECT_EQ(l.script.fileItems.At(1)->lineNumber, 7u);
  EXPECT_EQ(l.recorder.notes, (std::vector<std::string>{"1:before-first-section",
                                                        "2:unknown-keyword",
                                                        "2:before-first-section"}));
}

TEST(ScriptParser, UnknownBracketLinesAreDataOfTheSectionInForce) {
  Loaded l;
  Load("[AddRegFile]\n:GeneralSettings.reg\n[Settings]\n[addfile.ui]\n[NoComma]\n[AddFileX]\n:b,c\n",
       kWinXP, &l);
  ASSERT_EQ(l.script.regFileItems.Count(), 2u);
  EXPECT_STREQ(l.script.regFileItems.At(1)->source, "[Settings]");
  ASSERT_EQ(l.script.fileItems.Count(), 1u);  // "[NoComma]" holds no comma
  EXPECT_EQ(l.script.fileItems.At(0)->includeMask, 0u);  // "[AddFileX]" opened a new section
  EXPECT_EQ(l.recorder.notes,
            (std::vector<std::string>{"3:unknown-keyword", "5:unknown-keyword", "5:missing-field@1",
                                      "6:keyword-runs-on"}));
}

TEST(ScriptParser, AddFileFlagsAreTakenOutOnceInAnyCaseBeforeTheSplit) {
  Loaded l;
  Load("[AddFile]\n"
       ":License.txt,<PRECACHE>\n"
       ":%SOURCEFOLDER%\\ReadMe.txt,%TARGETFOLDER%\\ReadMe.txt<PRECACHE><OPTIONAL>\n"
       "<optional>:x.dll,C:\\x.dll<Optional>\n"
       ":a,C:\\b,c.txt\n"
       ":nocomma\n"
       "[UpdateFile]\n"
       ":u.inf,C:\\u.inf<optional>\n",
       kWinXP, &l);
  ASSERT_EQ(l.script.fileItems.Count(), 4u);
  const FileItem& license = *l.script.fileItems.At(0);
  EXPECT_STREQ(license.source, ":License.txt");
  EXPECT_STREQ(license.destination, "");
  EXPECT_EQ(license.precache, 1u);
  EXPECT_EQ(license.optional, 0u);
  EXPECT_EQ(license.precacheSize, 3u);  // the loader's precache step ran right after the append
  const FileItem& readme = *l.script.fileItems.At(1);
  EXPECT_STREQ(readme.source, ":%SOURCEFOLDER%\\ReadMe.txt");
  EXPECT_STREQ(readme.destination, "%TARGETFOLDER%\\ReadMe.txt");
  EXPECT_EQ(readme.precache + readme.optional, 2u);
  const FileItem& twice = *l.script.fileItems.At(2);
  EXPECT_STREQ(twice.source, ":x.dll");
  EXPECT_STREQ(twice.destination, "C:\\x.dll<Optional>");  // only the first flag is taken out
  EXPECT_EQ(twice.optional, 1u);
  EXPECT_STREQ(l.script.fileItems.At(3)->destination, "C:\\b,c.txt");
  ASSERT_EQ(l.script.updateItems.Count(), 1u);
  EXPECT_STREQ(l.script.updateItems.At(0)->destination, "C:\\u.inf<optional>");
  EXPECT_EQ(l.script.updateItems.At(0)->optional, 0u);
  EXPECT_EQ(l.recorder.precached, (std::vector<std::string>{":License.txt", ":%SOURCEFOLDER%\\ReadMe.txt"}));
}

TEST(ScriptParser, RegistryValueLinesFollowTheScanCut) {
  Loaded l;
  Load("[AddRegValue.Admin]\n"
       "HKLM,Software\\Xelta\\%Zx14%\\Main UI,RunFirst,REG_DWORD,1\n"
       "hklm,Software\\X,Path,reg_sz,C:\\Program Files\\X\n"
       "HKLM,Software\\X,Minus,REG_DWORD,-1\n"
       "HKCU,Software\\X,Name,REG_SZ,a\n"
       "HKLM,Software\\X,Name,REG_BINARY,a\n"
       "HKLM,Software\\X,,REG_SZ,a\n"
       "HKLM,Soft'ware,Name,REG_SZ,a\n"
       "HKLM,Software\\X,Name,REG_SZ,it's\n"
       "HKLM,Software\\X,Digits,REG_DWORD,12x\n",
       kWinXP, &l);
  ASSERT_EQ(l.script.regValueItems.Count(), 5u);
  const RegValueItem& run = *l.script.regValueItems.At(0);
  EXPECT_EQ(run.root, RegistryRoot::kLocalMachine);
  EXPECT_STREQ(run.key, "Software\\Xelta\\%Zx14%\\Main UI");
  EXPECT_STREQ(run.name, "RunFirst");
  EXPECT_EQ(run.type, kRegDword);
  EXPECT_EQ(run.dwordValue, 1u);
  EXPECT_EQ(run.dataSize, 4u);
  EXPECT_STREQ(run.data, "");
  EXPECT_EQ(run.includeMask, kComponentAdmin);
  const RegValueItem& path = *l.script.regValueItems.At(1);
  EXPECT_EQ(path.type, kRegSz);
  EXPECT_STREQ(path.data, "C:\\Program");  // the data ends at its first blank
  EXPECT_EQ(path.dataSize, 10u);
  EXPECT_EQ(l.script.regValueItems.At(2)->dwordValue, 0xFFFFFFFFu);
  EXPECT_STREQ(l.script.regValueItems.At(3)->data, "it's");  // the last field may hold "'"
  EXPECT_EQ(l.script.regValueItems.At(4)->dwordValue, 12u);
  EXPECT_EQ(l.recorder.notes,
            (std::vector<std::string>{"3:trailing-text-ignored@4", "5:unknown-root@0",
                                      "6:unknown-type@3", "7:empty-field@2", "8:apostrophe@1",
                                      "10:not-a-number@4"}));
}

TEST(ScriptParser, ShellLinkLinesNeedFourCommasAndCutTheDescription) {
  const std::string longText(600, 'd');
  Loaded l;
  Load("[AddShellLink.Help.UI]\n"
       "%COMMONPROGRAMSFOLDER%\\Xelta\\Xelta %Zx14%\\%LINK_README%.lnk,%TARGETFOLDER%\\ReadMe.txt,%LINKDESC_README%,,-1\n"
       "C:\\l.lnk,C:\\t.exe,,,\n"
       "C:\\only.lnk,C:\\t.exe\n"
       "C:\\d.lnk,C:\\t.exe," + longText + ",C:\\i.ico,3,extra\n",
       kWinXP, &l);
  ASSERT_EQ(l.script.shellLinkItems.Count(), 3u);
  const ShellLinkItem& readme = *l.script.shellLinkItems.At(0);
  EXPECT_STREQ(readme.description, "%LINKDESC_README%");
  EXPECT_STREQ(readme.iconFile, "");
  EXPECT_EQ(readme.iconIndex, -1);
  EXPECT_EQ(readme.includeMask, kComponentUI | kComponentHelp);
  const ShellLinkItem& bare = *l.script.shellLinkItems.At(1);
  EXPECT_STREQ(bare.target, "C:\\t.exe");
  EXPECT_EQ(bare.iconIndex, 0);
  const ShellLinkItem& cut = *l.script.shellLinkItems.At(2);
  EXPECT_EQ(std::strlen(cut.description), 511u);
  EXPECT_EQ(cut.iconIndex, 3);  // "3,extra" is the last field: read up to the first non-digit
  EXPECT_EQ(l.recorder.notes, (std::vector<std::string>{"4:missing-field@2", "5:description-cut@2",
                                                        "5:not-a-number@4"}));
}

TEST(ScriptParser, IniTextLineFolderAndRegFileLines) {
  Loaded l;
  Load("[ReplaceIniSection]\n"
       ":%Zx14%.ini,Settings,%WINDOWSFOLDER%\\%Zx14%.ini\n"
       ":a.ini,Sec tion,C:\\My Files\\a.ini\n"
       "[EnableTextLines.SC]\n"
       "%WINDOWSFOLDER%\\INF\\%Zx14%.inf,*Child0002*\n"
       "[DisableTextLine.!SC]\n"
       "%WINDOWSFOLDER%\\INF\\%Zx14%.inf,*Child0002*\n"
       "C:\\x.inf\n"
       "[AddFolder]\n"
       "C:\\Program Files\\Xelta\n",
       kWinXP, &l);
  ASSERT_EQ(l.script.iniSectionItems.Count(), 2u);
  EXPECT_STREQ(l.script.iniSectionItems.At(0)->section, "Settings");
  EXPECT_STREQ(l.script.iniSectionItems.At(1)->section, "Sec tion");
  EXPECT_STREQ(l.script.iniSectionItems.At(1)->file, "C:\\My");
  ASSERT_EQ(l.script.textLineItems.Count(), 2u);
  EXPECT_EQ(l.script.textLineItems.At(0)->enable, 1u);
  EXPECT_EQ(l.script.textLineItems.At(0)->includeMask, kComponentSC);
  EXPECT_EQ(l.script.textLineItems.At(1)->enable, 0u);
  EXPECT_EQ(l.script.textLineItems.At(1)->excludeMask, kComponentSC);
  EXPECT_STREQ(l.script.textLineItems.At(1)->pattern, "*Child0002*");
  ASSERT_EQ(l.script.folderItems.Count(), 1u);
  EXPECT_STREQ(l.script.folderItems.At(0)->folder, "C:\\Program Files\\Xelta");
  EXPECT_EQ(l.script.RunItemCount(), 4u);
}

TEST(ScriptParser, SectionsAreSelectedByTheRunningSystem) {
  const std::string text =
      "[AddFile.Win9x]\n:9x,a\n"
      "[AddFile.WinNT.!WinXP]\n:nt-not-xp,a\n"
      "[AddFile.!Win9x]\n:not-9x,a\n"
      "[AddFile]\n:all,a\n";
  struct Case {
    OsVersion os;
    std::vector<std::string> sources;
  } cases[] = {
      {kWin98SE, {":9x", ":all"}},
      {kWin2000, {":nt-not-xp", ":not-9x", ":all"}},
      {kWinXP, {":not-9x", ":all"}},
  };
  for (const Case& c : cases) {
    Loaded l;
    Load(text, c.os, &l);
    std::vector<std::string> sources;
    for (size_t i = 0; i < l.script.fileItems.Count(); ++i) sources.emplace_back(l.script.fileItems.At(i)->source);
    EXPECT_EQ(sources, c.sources);
  }
  Loaded xp;
  Load(text, kWinXP, &xp);
  EXPECT_EQ(xp.recorder.notes, (std::vector<std::string>{"1:inactive-section", "2:inactive-line",
                                                         "3:inactive-section", "4:inactive-line"}));
}

TEST(ScriptParser, UninstallRecordsReadBackWithEmptyFields) {
  Loaded l;
  Load("[AddFile.UI]\r\n,C:\\Apps\\Remove.cnf\r\n\r\n"
       "[AddShellLink.Admin.Help]\r\nC:\\Menu\\Help.lnk,,,,\r\n\r\n"
       "[AddFolder]\r\nC:\\Apps\r\n\r\n",
       kWin98SE, &l);
  ASSERT_EQ(l.script.fileItems.Count(), 1u);
  EXPECT_STREQ(l.script.fileItems.At(0)->source, "");
  EXPECT_STREQ(l.script.fileItems.At(0)->destination, "C:\\Apps\\Remove.cnf");
  ASSERT_EQ(l.script.shellLinkItems.Count(), 1u);
  EXPECT_EQ(l.script.shellLinkItems.At(0)->includeMask, kComponentAdmin | kComponentHelp);
  EXPECT_EQ(l.script.shellLinkItems.At(0)->iconIndex, 0);
  EXPECT_EQ(l.script.folderItems.Count(), 1u);
  EXPECT_TRUE(l.recorder.notes.empty());
}

TEST(ScriptParser, OverlongLinesAndFieldsAreCutOrRefusedNeverOverrun) {
  const std::string path259 = "C:\\" + std::string(256, 'p');
  const std::string path260 = path259 + "q";
  const std::string huge(5000, 'h');
  Loaded l;
  Load("[AddFile]\n:a," + path259 + "\n:a," + path260 + "\n[AddFolder]\n" + path260 + "\n" +
           huge + "\n[ReplaceIniSection]\n:s," + std::string(256, 's') + ",C:\\f\n",
       kWinXP, &l);
  ASSERT_EQ(l.script.fileItems.Count(), 1u);
  EXPECT_STREQ(l.script.fileItems.At(0)->destination, path259.c_str());
  EXPECT_EQ(l.script.folderItems.Count(), 0u);
  EXPECT_EQ(l.script.iniSectionItems.Count(), 0u);
  EXPECT_EQ(l.recorder.notes,
            (std::vector<std::string>{"3:field-too-long@1", "5:field-too-long@0", "6:line-cut",
                                      "6:field-too-long@0", "8:field-too-long@1"}));
}

TEST(ScriptParser, ALoadReplacesWhatAnEarlierLoadRead) {
  Loaded l;
  Load("[AddFile]\n:a,b\n", kWinXP, &l);
  const std::string second = "[AddFolder]\nC:\\A\n";
  ASSERT_EQ(ParseScriptText(second.data(), second.size(), kWinXP, &l.script, nullptr), 1);
  EXPECT_EQ(l.script.fileItems.Count(), 0u);
  EXPECT_EQ(l.script.folderItems.Count(), 1u);
  EXPECT_EQ(ParseScriptText(nullptr, 0, kWinXP, &l.script, nullptr), 1);
  EXPECT_EQ(l.script.folderItems.Count(), 0u);
  EXPECT_EQ(ParseScriptText(nullptr, 3, kWinXP, &l.script, nullptr), 0);
}

TEST(ScriptParser, FindFileItemComparesTheSourceFileNameWithoutCase) {
  Loaded l;
  Load("[AddFile]\n:Docs\\readme.txt,a\nC:\\x\\License.txt,b\n:License.txt,<precache>\n", kWinXP, &l);
  EXPECT_EQ(FindFileItem(l.script, "LICENSE.TXT"), l.script.fileItems.At(1));
  EXPECT_EQ(FindFileItem(l.script, "ReadMe.txt"), l.script.fileItems.At(0));
  EXPECT_EQ(FindFileItem(l.script, "Docs"), nullptr);
  EXPECT_STREQ(SourceFileName("C:x"), "x");
  EXPECT_STREQ(SourceFileName("plain"), "plain");
}

// The component rule as a table: masks of the section, selection, whether the item runs.
TEST(ScriptApplies, TheComponentRule) {
  struct Case {
    const char* what;
    ComponentSet include, exclude, selection;
    bool applies;
  } cases[] = {
      {"untagged, all selected", 0, 0, kAllComponents, true},
      {"untagged, nothing selected", 0, 0, 0, true},
      {"UI.Help with both", kComponentUI | kComponentHelp, 0, kComponentUI | kComponentHelp, true},
      {"UI.Help with UI alone", kComponentUI | kComponentHelp, 0, kComponentUI, true},
      {"UI.Help with Help alone", kComponentUI | kComponentHelp, 0, kComponentHelp, true},
      {"UI.Help with UI and SMS", kComponentUI | kComponentHelp, 0, kComponentUI | kComponentSMS, false},
      {"UI.Help with all", kComponentUI | kComponentHelp, 0, kAllComponents, true},
      {"UI with SMS alone", kComponentUI, 0, kComponentSMS, false},
      {"UI with nothing", kComponentUI, 0, 0, true},
      {"!SC without SC", 0, kComponentSC, kComponentUI, true},
      {"!SC with SC", 0, kComponentSC, kComponentSC | kComponentUI, false},
      {"UI.!SC with UI and SC", kComponentUI, kComponentSC, kComponentUI | kComponentSC, false},
      {"SC.!SC with SC", kComponentSC, kComponentSC, kComponentSC, false},
      {"SC.!SC with UI", kComponentSC, kComponentSC, kComponentUI, false},
      {"SC.!SC with nothing", kComponentSC, kComponentSC, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Applies(c.include, c.exclude, c.selection), c.applies);
    FolderItem item{};
    item.includeMask = c.include;
    item.excludeMask = c.exclude;
    EXPECT_EQ(Applies(item, c.selection), c.applies);
  }
}

}  // namespace
