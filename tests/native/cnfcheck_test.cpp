// The script checker reads a script as the setup's loader does and names every line the setup
// would drop or alter: one script per kind of fault, the items in run order, the JSON shape,
// the payload lookup, the registry-text check and the command-line values.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/registry_sink.h"
#include "tools/cnfcheck/check_options.h"
#include "tools/cnfcheck/json_text.h"
#include "tools/cnfcheck/registry_check.h"
#include "tools/cnfcheck/report_output.h"
#include "tools/cnfcheck/script_check.h"

namespace {

ScriptCheckOptions Options(const char* os = "all", ComponentSet selection = kAllComponents,
                           const PayloadIndex* payload = nullptr) {
  ScriptCheckOptions options{{}, selection, payload};
  ParseSystemName(os, &options.systems);
  return options;
}

ScriptReport Check(const std::string& text, const ScriptCheckOptions& options = Options()) {
  ScriptReport report;
  CheckScript(text.data(), text.size(), options, &report);
  return report;
}

std::vector<std::string> Codes(const WarningList& warnings) {
  std::vector<std::string> codes;
  for (const CheckWarning& warning : warnings) codes.push_back(std::to_string(warning.line) + " " + warning.code);
  return codes;
}

// ---- One fault of each kind ----

const std::string kLongPath(300, 'x');

TEST(CnfcheckScript, OneFaultOfEachKindIsNamedWithItsLine) {
  struct Case {
    const char* name;
    std::string script;
    std::vector<std::string> expected;  // "line code"
  };
  const Case cases[] = {
        {"Clean", "; demo\r\n[AddFile.UI.!SC.WinNT]\r\n:%Zx14%UI.exe,%TARGETFOLDER%\\%Zx14%UI.exe\r\n", {}},
        {"LineBeforeFirstSection", "stray\n[AddFile]\n:a,%TARGETFOLDER%\\a\n", {"1 before-first-section"}},
        {"UnknownKeyword", "[AddRegFile]\n[Bogus]\n", {"2 unknown-keyword"}},
        {"UnknownKeywordInAddFileDropsTheLine", "[AddFile]\n[Bogus]\n",
                  {"2 unknown-keyword", "2 missing-field"}},
        {"KeywordRunsOn", "[EnableTextLines.SC]\n%WINDOWSFOLDER%\\INF\\a.inf,*x*\n", {"1 keyword-runs-on"}},
        {"HeaderNotClosed", "[AddFile.UI\n:a,%TARGETFOLDER%\\a\n", {"1 header-not-closed"}},
        {"MisspeltTag", "[AddFile.UIX]\n:a,%TARGETFOLDER%\\a\n", {"1 unknown-tag"}},
        {"MisspeltNegatedOsTag", "[AddFile.!WinXp2]\n:a,%TARGETFOLDER%\\a\n", {"1 unknown-tag"}},
        {"NoComma", "[AddFile]\n:a\n", {"2 missing-field"}},
        {"EmptyScanField", "[ReplaceIniSection]\n:a.ini,,%WINDOWSFOLDER%\\a.ini\n", {"2 empty-field"}},
        {"Apostrophe", "[AddRegValue]\nHKLM,Software\\X's,N,REG_SZ,1\n", {"2 apostrophe"}},
        {"PathTooLong", "[AddFile]\n:a,%TARGETFOLDER%\\" + kLongPath + "\n", {"2 field-too-long"}},
        {"RegDataTooLong", "[AddRegValue]\nHKLM,Software\\X,N,REG_SZ," + std::string(256, 'd') + "\n",
                  {"2 field-too-long"}},
        {"TrailingTextIgnored", "[AddRegValue]\nHKLM,Software\\X,N,REG_SZ,two words\n",
                  {"2 trailing-text-ignored"}},
        {"DescriptionCut", "[AddShellLink]\n%DESKTOPFOLDER%\\a.lnk,%TARGETFOLDER%\\a.exe," +
                                        std::string(512, 'd') + ",,-1\n",
                  {"2 description-cut"}},
        {"UnknownRoot", "[AddRegValue]\nHKCU,Software\\X,N,REG_SZ,1\n", {"2 unknown-root"}},
        {"UnknownType", "[AddRegValue]\nHKLM,Software\\X,N,REG_BINARY,1\n", {"2 unknown-type"}},
        {"NotANumber", "[AddRegValue]\nHKLM,Software\\X,N,REG_DWORD,0x10\n", {"2 not-a-number"}},
        {"IconIndexNotANumber", "[AddShellLink]\n%DESKTOPFOLDER%\\a.lnk,%TARGETFOLDER%\\a.exe,d,,none\n",
                  {"2 not-a-number"}},
        {"LineCut", "[AddFolder]\n" + std::string(5000, 'f') + "\n", {"2 line-cut", "2 field-too-long"}},
        {"UnknownMacro", "[AddFile]\n:a,%TARGETDIR%\\a\n", {"2 unknown-macro"}},
        {"MacroInWrongCase", "[AddFile]\n:%zx14%UI.exe,%TARGETFOLDER%\\a\n", {"2 macro-case"}},
        {"MacroRepeated", "[AddRegValue]\nHKLM,Software\\%Zx14%\\%Zx14%,N,REG_SZ,1\n", {"2 macro-repeated"}},
        {"MacroWhereNoneIsReplaced", "[AddRegFile]\n:%Zx14%.reg\n", {"2 macro-not-expanded"}},
        {"AddFileSourceWithoutColon", "[AddFile]\nZ614.sys,%SYSTEMFOLDER%\\Z614.sys\n", {"2 no-colon"}},
        {"DriveLetterAsArchivePath", "[AddFile]\nC:\\a.txt,%TARGETFOLDER%\\a.txt\n", {"2 drive-colon"}},
        {"FolderMacroSplitsUpdateSource", "[UpdateFile]\n%SYSTEMFOLDER%\\a.dll:b,%SYSTEMFOLDER%\\b\n",
                  {"2 folder-macro-in-source"}},
        {"EmptyDestination", "[AddFile]\n:a.txt,\n", {"2 empty-destination"}},
        {"EntryNameIsAPath", "[AddFile]\n:%SOURCEFOLDER%\\ReadMe.txt,%TARGETFOLDER%\\ReadMe.txt\n",
                  {"2 entry-is-path"}},
        {"OptionalPathEntryIsQuiet",
                  "[AddFile]\n:%SOURCEFOLDER%\\ReadMe.txt,%TARGETFOLDER%\\ReadMe.txt<PRECACHE><OPTIONAL>\n", {}},
        {"RelativeDestination", "[AddFile]\n:a.txt,a.txt\n", {"2 relative-path"}},
        {"RelativeShortcut", "[AddShellLink]\nUI.lnk,%TARGETFOLDER%\\a.exe,,,\n", {"2 relative-path"}},
        {"PatternWithoutStar", "[DisableTextLine]\n%WINDOWSFOLDER%\\INF\\a.inf,*Child0002\n",
                  {"2 pattern-without-star"}},
        {"PrecacheWithoutColonIsAnEntry", "[AddFile]\nLicense.txt,<PRECACHE>\n", {}},
        {"UninstallRecordsReadClean",
                  "[AddFile.UI]\r\n,C:\\A\\a.exe\r\n\r\n[AddShellLink]\r\nC:\\M\\a.lnk,,,,\r\n\r\n"
                  "[AddFolder]\r\nC:\\A\r\n\r\n[AddFile]\r\n,C:\\A\\*.z6?\r\n",
                  {}},
        {"SectionNoSystemLoads", "[AddFile.WinXP.!WinNT]\n:a,%TARGETFOLDER%\\a\n", {"1 never-loaded"}},
        {"ComponentBothWays", "[AddFile.SC.UI.!SC]\n:a,%TARGETFOLDER%\\a\n", {"1 tag-both-ways"}},
        {"HeaderRunOnInsideAnotherSection", "[AddRegFile]\n[AddFolderX.Win9x.!Win9x]\n",
                  {"2 keyword-runs-on", "2 never-loaded"}},
        {"FaultInASectionOfTheOtherFamily", "[AddFile.Win9x]\n:a\n[AddFile.WinNT]\n:b\n",
                  {"2 missing-field", "4 missing-field"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Codes(Check(c.script).warnings), c.expected);
  }
}

TEST(CnfcheckScript, FaultsOfInactiveSectionsAreNamedForASingleSystem) {
  const std::string script = "[AddFile.Win9x]\n:a,%targetfolder%\\a\n";
  EXPECT_EQ(Codes(Check(script, Options("winxp")).warnings), std::vector<std::string>{"2 macro-case"});
  EXPECT_TRUE(Check(script, Options("winxp")).items.empty());
}

// ---- Items: run order, systems, the component rule ----

TEST(CnfcheckItems, FollowTheRunOrderOfTheListsAndTheScriptOrderWithin) {
  const ScriptReport report = Check(
      "[DisableTextLine.!SC.WinNT]\n%WINDOWSFOLDER%\\INF\\Z614.inf,*Child0002*\n"
      "[AddFile.UI]\n:b,%TARGETFOLDER%\\b\n:a,%TARGETFOLDER%\\a\n"
      "[AddRegValue]\nHKLM,Software\\X,N,REG_DWORD,-1\n"
      "[ReplaceIniSection]\n:s.ini,Main,%WINDOWSFOLDER%\\s.ini\n");
  std::vector<std::string> order;
  for (const CheckedItem& item : report.items)
    order.push_back(std::string(ItemListName(item.view.listIndex)) + ":" + std::to_string(item.view.line));
  EXPECT_EQ(order, (std::vector<std::string>{"iniSectionItems:9", "regValueItems:7", "fileItems:4", "fileItems:5",
                                             "textLineItems:2"}));
}

TEST(CnfcheckItems, LoadBySystemAndApplyByComponents) {
  const std::string script =
      "[AddFile.UI.Help]\n:h,%TARGETFOLDER%\\h\n"
      "[AddFile.Driver.Win9x]\n:v,%SYSTEMFOLDER%\\v\n"
      "[AddFile.Driver.WinNT.!WinXP]\n:s,%SYSTEMFOLDER%\\s\n"
      "[AddFile.!SC]\n:n,%TARGETFOLDER%\\n\n";
  struct Case {
    const char* os;
    ComponentSet selection;
    std::vector<std::string> expected;  // "line runs|skipped"
  } cases[] = {{"win98se", kAllComponents, {"2 runs", "4 runs", "8 skipped"}},
               {"win2k", kComponentUI, {"2 runs", "6 skipped", "8 runs"}},
               {"winxp", kComponentUI | kComponentSC, {"2 skipped", "8 skipped"}},
               {"winme", 0, {"2 runs", "4 runs", "8 runs"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.os);
    std::vector<std::string> got;
    for (const CheckedItem& item : Check(script, Options(c.os, c.selection)).items)
      got.push_back(std::to_string(item.view.line) + (item.applies ? " runs" : " skipped"));
    EXPECT_EQ(got, c.expected);
  }
}

TEST(CnfcheckItems, NameTheSystemsThatLoadThemWhenAllAreChecked) {
  const ScriptReport report = Check("[AddFile.WinNT.!WinXP]\n:s,%SYSTEMFOLDER%\\s\n[AddFile]\n:a,%TARGETFOLDER%\\a\n");
  ASSERT_EQ(report.items.size(), 2u);
  ASSERT_EQ(report.items[0].systems.size(), 1u);
  EXPECT_STREQ(report.items[0].systems[0], "win2k");
  EXPECT_EQ(report.items[1].systems.size(), 4u);
}

// The field names the JSON and text reports carry for every list.
TEST(CnfcheckItems, FieldNamesAreTheSystemsOwn) {
  struct Case {
    const char* script;
    const char* list;
    std::vector<std::string> names;
  } cases[] = {
        {"[ReplaceIniSection]\n:a.ini,S,%WINDOWSFOLDER%\\a.ini\n", "iniSectionItems",
                       {"source", "section", "file"}},
        {"[AddRegFile]\n:a.reg\n", "regFileItems", {"source"}},
        {"[AddRegValue]\nHKLM,K,N,REG_SZ,d\n", "regValueItems",
                       {"root", "key", "name", "type", "data", "dwordValue", "dataSize"}},
        {"[UpdateFile]\n:a,%SYSTEMFOLDER%\\a\n", "updateItems", {"source", "destination", "precache", "optional"}},
        {"[AppendFile]\n:a,%SYSTEMFOLDER%\\a\n", "appendItems", {"source", "destination", "precache", "optional"}},
        {"[AddFile]\n:a,%SYSTEMFOLDER%\\a\n", "fileItems", {"source", "destination", "precache", "optional"}},
        {"[AddShellLink]\n%DESKTOPFOLDER%\\a.lnk,%TARGETFOLDER%\\a,,,\n", "shellLinkItems",
                       {"link", "target", "description", "iconFile", "iconIndex"}},
        {"[EnableTextLine]\n%WINDOWSFOLDER%\\a.inf,*x*\n", "textLineItems", {"file", "pattern", "enable"}},
        {"[AddFolder]\nC:\\A\n", "folderItems", {"folder"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    const ScriptReport report = Check(c.script);
    ASSERT_EQ(report.items.size(), 1u);
    EXPECT_STREQ(ItemListName(report.items[0].view.listIndex), c.list);
    std::vector<std::string> names;
    for (const ItemField& field : report.items[0].view.fields) names.push_back(field.name);
    EXPECT_EQ(names, c.names);
  }
}

TEST(CnfcheckText, NamesFileAndLineOfItemsAndWarnings) {
  const ScriptCheckOptions options = Options("winxp", kComponentUI);
  const std::string text = ScriptReportText(Check("[AddFile.Help]\n:a,%TARGETFOLDER%\\a\n[AddFile.UIX]\n", options),
                                            "Setup.cnf", options);
  EXPECT_EQ(text,
            "Setup.cnf: loaded for winxp, components UI (1)\n"
            "fileItems\n"
            "  Setup.cnf:2  skipped  source=\":a\" destination=\"%TARGETFOLDER%\\a\" precache=0 optional=0 "
            "include=0x08 exclude=0x00\n"
            "Setup.cnf:3: warning: \"UIX\" is no tag: it selects nothing (meant \"UI\"?) [unknown-tag]\n"
            "1 items, 0 run for the components, 1 warnings\n");
}

// ---- JSON ----

TEST(CnfcheckJson, HasItemsAndWarningsInTheDocumentedShape) {
  const ScriptReport report = Check("[AddRegValue.UI.!SC]\nHKLM,Software\\\"Q\",N,REG_SZ,caf\xe9\x80\n[AddFile.UIX]\n",
                                    Options("winxp", kComponentUI));
  EXPECT_EQ(ScriptReportJson(report, "dir\\Setup.cnf", false),
            "{\"items\": [\n"
            "  {\"list\": \"regValueItems\", \"line\": 2, \"fields\": {\"root\": \"HKEY_LOCAL_MACHINE\", "
            "\"key\": \"Software\\\\\\\"Q\\\"\", \"name\": \"N\", \"type\": 1, \"data\": \"caf\\u00e9\\u20ac\", "
            "\"dwordValue\": 0, \"dataSize\": 5}, \"includeMask\": 1, \"excludeMask\": 32, \"applies\": true}\n"
            "],\n"
            "\"warnings\": [\n"
            "  {\"file\": \"dir\\\\Setup.cnf\", \"line\": 3, \"code\": \"unknown-tag\", "
            "\"message\": \"\\\"UIX\\\" is no tag: it selects nothing (meant \\\"UI\\\"?)\"}\n"
            "]}\n");
}

// Any bytes at all: under the sanitizers nothing reads or writes out of bounds, and the JSON
// stays plain printable ASCII with every quote and backslash escaped.
TEST(CnfcheckJson, StaysPrintableAsciiForArbitraryBytes) {
  const char* headers[] = {"[AddFile.UI]", "[UpdateFile]", "[ReplaceIniSection]", "[AddRegFile]", "[AddRegValue]",
                           "[AddShellLink]", "[AddFolder]", "[EnableTextLine.!SC.WinNT]", "[Bogus]"};
  static const char kBytes[] = "ab,%'\":\\ <>;[].!\t\x7f\x80\xe9\xffprecacheHKLMREG_SZ0123";
  const std::string alphabet(kBytes, sizeof kBytes);  // the terminating zero byte too
  uint32_t seed = 12345;
  auto next = [&seed]() { return seed = seed * 1103515245u + 12345u; };
  for (int round = 0; round < 200; ++round) {
    std::string script;
    for (const char* header : headers) {
      script += std::string(header) + (next() % 2 ? "\r\n" : "\n");
      for (uint32_t line = next() % 4; line > 0; --line) {
        for (uint32_t n = next() % 90; n > 0; --n) script += alphabet[(next() >> 8) % alphabet.size()];
        script += next() % 3 ? "\r\n" : "\r";
      }
    }
    const std::string json = ScriptReportJson(Check(script), "r.cnf", true);
    for (char c : json) ASSERT_TRUE((c >= 0x20 && c < 0x7f) || c == '\n') << round;
  }
}

TEST(CnfcheckJson, EscapesEveryControlByte) {
  std::string out;
  AppendJsonString(&out, std::string("a\0b\x01\n\t\x7f", 7));
  EXPECT_EQ(out, "\"a\\u0000b\\u0001\\n\\t\\u007f\"");
}

// ---- Payload ----

TEST(CnfcheckPayload, NamesEntriesThePayloadDoesNotHold) {
  PayloadIndex payload;
  payload.Add("Z614UI.exe", 100);
  payload.Add("empty.txt", 0);
  payload.Add("Z614.reg", 10);
  const std::string script =
      "[AddFile]\n:%Zx14%ui.EXE,%TARGETFOLDER%\\a\n:missing.dll,%TARGETFOLDER%\\m\n"
      ":gone.txt,%TARGETFOLDER%\\g<optional>\n:empty.txt,%TARGETFOLDER%\\e\n:,%TARGETFOLDER%\\Uninstall.exe\n"
      "%TARGETFOLDER%\\Setup.exe:other.sys,%SYSTEMFOLDER%\\o\n"
      "[AddRegFile]\n:Z614.reg\nabsent.reg\n";
  EXPECT_EQ(Codes(Check(script, Options("all", kAllComponents, &payload)).warnings),
            (std::vector<std::string>{"3 missing-entry", "4 missing-entry", "5 empty-entry", "10 missing-entry"}));
}

// ---- Registry texts ----

RegistryReport CheckReg(const std::string& text) {
  RegistryReport report;
  CheckRegistryText(text.data(), text.size(), &report);
  return report;
}

TEST(CnfcheckRegistry, ListsTheValuesAndWhereTheImportStops) {
  const RegistryReport report = CheckReg(
      "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614]\r\n\"Count\"=dword:0000000a\r\n"
      "\"Blob\"=hex:01,02,\\\r\n  ff\r\n\"Text\"=\"a\\\\b\"\r\n@=\"x\"\r\n[HKEY_NOWHERE\\X]\r\n\"Late\"=dword:1\r\n");
  ASSERT_EQ(report.ops.size(), 3u);
  EXPECT_EQ(report.stoppedAtLine, 9u);
  EXPECT_EQ(Codes(report.warnings), (std::vector<std::string>{"8 ignored-line", "9 unknown-root"}));
  const std::string expected =
      "{\"ops\": [\n"
      "  {\"root\": \"HKEY_LOCAL_MACHINE\", \"key\": \"SOFTWARE\\\\Xelta\\\\Z614\", \"name\": \"Count\", "
      "\"type\": \"REG_DWORD\", \"data\": 10},\n"
      "  {\"root\": \"HKEY_LOCAL_MACHINE\", \"key\": \"SOFTWARE\\\\Xelta\\\\Z614\", \"name\": \"Blob\", "
      "\"type\": \"REG_BINARY\", \"data\": \"01,02,ff\"},\n"
      "  {\"root\": \"HKEY_LOCAL_MACHINE\", \"key\": \"SOFTWARE\\\\Xelta\\\\Z614\", \"name\": \"Text\", "
      "\"type\": \"REG_SZ\", \"data\": \"a\\\\b\"}\n],\n";
  EXPECT_EQ(RegistryReportJson(report, "a.reg").substr(0, expected.size()), expected);
  EXPECT_NE(RegistryReportJson(report, "a.reg").find("\"stoppedAtLine\": 9,"), std::string::npos);
}

TEST(CnfcheckRegistry, ReadToTheEndHasANullStopAndAMissingHeaderIsNamed) {
  const RegistryReport report = CheckReg("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\X]\n\"A\"=\"1\"\n");
  EXPECT_TRUE(report.warnings.empty());
  EXPECT_NE(RegistryReportJson(report, "a.reg").find("\"stoppedAtLine\": null"), std::string::npos);
  EXPECT_EQ(Codes(CheckReg("[HKEY_LOCAL_MACHINE\\X]\n\"A\"=\"1\"\n").warnings),
            (std::vector<std::string>{"1 no-header", "2 value-without-key"}));
}

TEST(CnfcheckOptions, ComponentsAreTagsOrANumberAndAnythingElseIsRefused) {
  struct Case {
    const char* text;
    int ok;
    ComponentSet set;
  } cases[] = {{"UI,Driver,SC", 1, 0x25}, {"ui+help", 1, 0x09}, {"63", 1, 63}, {"0x12", 1, 0x12},
               {"64", 0, 0},           {"UI,Drivers", 0, 0}, {"12x", 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ComponentSet set = 0xFFFF;
    std::string reason;
    EXPECT_EQ(ParseComponentSet(c.text, &set, &reason), c.ok);
    if (c.ok) EXPECT_EQ(set, c.set);
    else EXPECT_FALSE(reason.empty());
  }
}

}  // namespace
