// The script checker reads a script as the setup's loader does and names every line the setup
// would drop or alter; with it, the demo payload is checked for what the install run relies on.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/registry_sink.h"
#include "tools/cnfcheck/check_options.h"
#include "tools/cnfcheck/json_text.h"
#include "tools/cnfcheck/registry_check.h"
#include "tools/cnfcheck/report_output.h"
#include "tools/cnfcheck/script_check.h"

namespace {

using Strings = std::vector<std::string>;

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

// "line code" for each warning.
Strings Codes(const WarningList& warnings) {
  Strings codes;
  for (const CheckWarning& warning : warnings) codes.push_back(std::to_string(warning.line) + " " + warning.code);
  return codes;
}

TEST(CnfcheckScript, OneFaultOfEachKindIsNamedWithItsLine) {
  const std::string a = ":a,%TARGETFOLDER%\\a\n";
  const std::pair<std::string, Strings> cases[] = {
      {"; demo\r\n[AddFile.UI.!SC.WinNT]\r\n:%Zx14%UI.exe,%TARGETFOLDER%\\%Zx14%UI.exe\r\n", {}},
      {"stray\n[AddFile]\n" + a, {"1 before-first-section"}},
      {"[AddRegFile]\n[Bogus]\n", {"2 unknown-keyword"}},
      {"[EnableTextLines.SC]\n%WINDOWSFOLDER%\\INF\\a.inf,*x*\n", {"1 keyword-runs-on"}},
      {"[AddFile.UI\n" + a, {"1 header-not-closed"}},
      {"[AddFile.UIX]\n" + a, {"1 unknown-tag"}},
      {"[AddFile]\n:a\n", {"2 missing-field"}},
      {"[ReplaceIniSection]\n:a.ini,,%WINDOWSFOLDER%\\a.ini\n", {"2 empty-field"}},
      {"[AddRegValue]\nHKLM,Software\\X's,N,REG_SZ,1\n", {"2 apostrophe"}},
      {"[AddFile]\n:a,%TARGETFOLDER%\\" + std::string(300, 'x') + "\n", {"2 field-too-long"}},
      {"[AddRegValue]\nHKLM,Software\\X,N,REG_SZ,two words\n", {"2 trailing-text-ignored"}},
      {"[AddShellLink]\n%DESKTOPFOLDER%\\a.lnk,%TARGETFOLDER%\\a.exe," + std::string(512, 'd') + ",,-1\n",
       {"2 description-cut"}},
      {"[AddRegValue]\nHKCU,Software\\X,N,REG_SZ,1\n", {"2 unknown-root"}},
      {"[AddRegValue]\nHKLM,Software\\X,N,REG_BINARY,1\n", {"2 unknown-type"}},
      {"[AddRegValue]\nHKLM,Software\\X,N,REG_DWORD,0x10\n", {"2 not-a-number"}},
      {"[AddFolder]\n" + std::string(5000, 'f') + "\n", {"2 line-cut", "2 field-too-long"}},
      {"[AddFile]\n:a,%TARGETDIR%\\a\n", {"2 unknown-macro"}},
      {"[AddFile]\n:%zx14%UI.exe,%TARGETFOLDER%\\a\n", {"2 macro-case"}},
      {"[AddRegValue]\nHKLM,Software\\%Zx14%\\%Zx14%,N,REG_SZ,1\n", {"2 macro-repeated"}},
      {"[AddRegFile]\n:%Zx14%.reg\n", {"2 macro-not-expanded"}},
      {"[AddFile]\nZ614.sys,%SYSTEMFOLDER%\\Z614.sys\n", {"2 no-colon"}},
      {"[AddFile]\nC:\\a.txt,%TARGETFOLDER%\\a.txt\n", {"2 drive-colon"}},
      {"[UpdateFile]\n%SYSTEMFOLDER%\\a.dll:b,%SYSTEMFOLDER%\\b\n", {"2 folder-macro-in-source"}},
      {"[AddFile]\n:a.txt,\n", {"2 empty-destination"}},
      {"[AddFile]\n:%SOURCEFOLDER%\\ReadMe.txt,%TARGETFOLDER%\\ReadMe.txt\n", {"2 entry-is-path"}},
      {"[AddFile]\n:%SOURCEFOLDER%\\ReadMe.txt,%TARGETFOLDER%\\ReadMe.txt<PRECACHE><OPTIONAL>\n", {}},
      {"[AddFile]\n:a.txt,a.txt\n", {"2 relative-path"}},
      {"[DisableTextLine]\n%WINDOWSFOLDER%\\INF\\a.inf,*Child0002\n", {"2 pattern-without-star"}},
      {"[AddFile]\nLicense.txt,<PRECACHE>\n", {}},  // a precache line names an entry, no colon
      {"[AddFile.UI]\r\n,C:\\A\\a.exe\r\n\r\n[AddShellLink]\r\nC:\\M\\a.lnk,,,,\r\n\r\n[AddFolder]\r\nC:\\A\r\n", {}},
      {"[AddFile.WinXP.!WinNT]\n" + a, {"1 never-loaded"}},
      {"[AddFile.SC.UI.!SC]\n" + a, {"1 tag-both-ways"}},
      {"[AddFile.Win9x]\n:a\n[AddFile.WinNT]\n:b\n", {"2 missing-field", "4 missing-field"}},
      {std::string("[AddFile]\n:a,%TARGETFOLDER%\\a") + '\0' + ".txt\n", {"2 zero-byte"}},
  };
  for (const auto& [script, expected] : cases) {
    SCOPED_TRACE(script.substr(0, 80));
    EXPECT_EQ(Codes(Check(script).warnings), expected);
  }
  // Checked for one system, a section it does not load still has its faults named.
  const ScriptReport xp = Check("[AddFile.Win9x]\n:a,%targetfolder%\\a\n", Options("winxp"));
  EXPECT_EQ(Codes(xp.warnings), Strings{"2 macro-case"});
  EXPECT_TRUE(xp.items.empty());
}

// The JSON report quotes and escapes every text, reading bytes above 127 as Windows-1252.
// --switches takes the setup's own switches of a silent install: the set that run installs, or
// the setup's refusal, never a narrower set than the administrator asked for; with --payload, a
// component the payload does not offer is refused as the setup refuses it.
TEST(CnfcheckSwitches, GiveTheComponentsASilentInstallTakesOrItsRefusal) {
  const struct {
    const char* switches;
    ComponentSet set;     // 0: refused
    const char* reason;   // a part of the refusal
  } cases[] = {
      {"/Silent /Components Help,Admin", 0x1B, ""},  // UI and SMS come with every list
      {"/VerySilent /components sc", 0x31, ""},
      {"/Silent /Type Administrator", 0x1F, ""},
      {"/Silent", 0x1D, ""},  // neither: Typical
      {"/Silent /Components Help,Foo", 0, "\"Foo\" is no component"},
      {"/Type Typical /Components UI", 0, "cannot be used together"},
      {"/Type Huge", 0, "\"Huge\" is no setup type"},
      {"/Components", 0, "/Components needs a value"},
      {"/Silent /Uninstall", 0, "maintenance"},
  };
  for (const auto& c : cases) {
    ComponentSet set = 0;
    std::string reason;
    EXPECT_EQ(ParseInstallSwitches(c.switches, &set, &reason), c.set != 0 ? 1 : 0) << c.switches;
    EXPECT_EQ(c.set != 0 ? set : 0u, c.set) << c.switches;
    EXPECT_NE(reason.find(c.reason), std::string::npos) << c.switches << ": " << reason;
  }
  PayloadIndex bare, full;
  bare.Add("Z614UI.exe", 1);
  full.Add("mod_adm.dll", 1);
  full.Add("Z614SC.inf", 1);
  EXPECT_STREQ(ComponentNotOffered(kComponentAdmin | kComponentSC, bare), "Admin");
  EXPECT_STREQ(ComponentNotOffered(kComponentUI | kComponentSC, bare), "SC");
  EXPECT_EQ(ComponentNotOffered(kAllComponents, full), nullptr);
}

TEST(CnfcheckReports, JsonEscapesEveryText) {
  const std::string script = "[AddRegValue]\nHKLM,Software\\\"Q\",N,REG_SZ,caf\xe9\x80\n";
  const std::string json = ScriptReportJson(Check(script), script.data(), script.size(), "", Options("winxp"));
  EXPECT_NE(json.find("\"key\": \"Software\\\\\\\"Q\\\"\", \"name\": \"N\", \"type\": 1, "
                      "\"data\": \"caf\\u00e9\\u20ac\""),
            std::string::npos) << json;
  std::string escaped;
  AppendJsonString(&escaped, std::string("a\0b\x01\n\t\x7f", 7));
  EXPECT_EQ(escaped, "\"a\\u0000b\\u0001\\n\\t\\u007f\"");
}

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
            (Strings{"3 missing-entry", "4 missing-entry", "5 empty-entry", "10 missing-entry"}));
}

RegistryReport CheckReg(const std::string& text) {
  RegistryReport report;
  CheckRegistryText(text.data(), text.size(), &report);
  return report;
}

TEST(CnfcheckRegistry, ListsTheValuesAndWhereTheImportStops) {
  const RegistryReport report = CheckReg(
      "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Z614]\r\n\"Count\"=dword:0000000a\r\n"
      "\"Blob\"=hex:01,02,\\\r\n  ff\r\n@=\"x\"\r\n[HKEY_NOWHERE\\X]\r\n\"Late\"=dword:1\r\n");
  EXPECT_EQ(Codes(report.warnings), (Strings{"7 ignored-line", "8 unknown-root"}));
  const std::string json = RegistryReportJson(report, "a.reg");
  EXPECT_NE(json.find("\"name\": \"Count\", \"type\": \"REG_DWORD\", \"data\": 10}"), std::string::npos) << json;
  EXPECT_NE(json.find("\"name\": \"Blob\", \"type\": \"REG_BINARY\", \"data\": \"01,02,ff\"}\n]"), std::string::npos);
  EXPECT_NE(json.find("\"stoppedAtLine\": 8,"), std::string::npos);
  const std::string faulty = "[HKEY_LOCAL_MACHINE\\X]\n\"A\"=\"1\"\n[HKEY_USERS\\K]\n\"a\"=dword:\n\"b\"=\"open\n";
  EXPECT_EQ(Codes(CheckReg(faulty).warnings),
            (Strings{"1 no-header", "2 value-without-key", "4 no-dword-digits", "5 unreadable-value"}));
  // Lines the import reads differently from how they look, though it writes something.
  const std::string key = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta]\n";
  const std::pair<std::string, Strings> cases[] = {
      {key + "\"A\"=\"one" + '\0' + "two\"\n", {"3 unreadable-value", "3 zero-byte"}},
      {key + "\"A\"=\"one\"" + '\0' + "two\"\n", {"3 zero-byte"}},
      {key + "\"B\"=hex:01,\\\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n\"C\"=\"c\"\n", {"4 line-swallowed"}},
      {key + "\"B\"=hex:01,\\\n\"C\"=\"c\"\n", {"4 line-swallowed"}},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\n\"A\"=\"a\"\n", {"2 key-without-bracket"}},
      {key + "\"D\"=dword:123456789\n", {"3 dword-too-long"}},
      {key + "\"B\"=hex:01,\\\n  02,\\\n\n\"D\"=dword:12345678\n", {}},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(Codes(CheckReg(text).warnings), expected);
  }
}

// A text of millions of alike faults is reported in a few lines: identical warnings beyond
// the first ten are counted, and the count is said once.
TEST(CnfcheckReports, RepeatedWarningsAreSummarised) {
  std::string script;
  for (int i = 0; i < 25; ++i) script += "[AddFile" + std::string(4000, '.') + "]\n";
  const ScriptReport report = Check(script, Options("winxp"));
  EXPECT_EQ(report.warnings.size(), kShownRepeats);
  EXPECT_EQ(report.warnings.Total(), 25u * 4000);
  const std::string text = ScriptReportText(report, script.data(), script.size(), "a.cnf", Options("winxp"));
  EXPECT_LT(text.size(), 4096u);
  EXPECT_NE(text.find("a.cnf: warning: 99990 more like this, not shown: \"\" is no tag"), std::string::npos) << text;
  const std::string json = ScriptReportJson(report, script.data(), script.size(), "a.cnf", Options("winxp"));
  EXPECT_NE(json.find("\"code\": \"unknown-tag\", \"message\": \"\\\"\\\" is no tag: it selects nothing\", \"more\": 99990}"),
            std::string::npos) << json.substr(json.size() - 300);
}

std::string DemoText(const char* name) {
  std::ifstream in(std::filesystem::path(__FILE__).parent_path() / "../../package/demo" / name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The demo payload exercises the whole script language, so the install run covers it: every
// list, every component tag (negated ones too), items of each system's own, and the lines the
// setup needs: precached and optional ones, the uninstaller and the smart card switch both ways.
// (The demo's texts reading clean for each system is a test of its own, by the cnfcheck tool.)
TEST(DemoPayload, SetupScriptUsesTheWholeLanguage) {
  std::set<std::string> seen;
  ComponentSet included = 0, excluded = 0;
  const std::string script = DemoText("Setup.cnf");
  const ScriptCheckOptions options = Options();
  ForEachItemView(Check(script), script.data(), script.size(), [&](const CheckedItem& item, const ItemView& view) {
    included |= view.includeMask;
    excluded |= view.excludeMask;
    seen.insert(ItemListName(view.listIndex));
    for (size_t i = 0; i < options.systems.size(); ++i)
      if (item.systems == 1u << i) seen.insert(options.systems[i].name);
    for (const ItemField& f : view.fields)
      seen.insert(std::string(f.name) + "=" + (f.isNumber ? std::to_string(f.number) : f.text));
  });
  EXPECT_EQ(included, kAllComponents);
  EXPECT_NE(excluded, 0u);
  for (const char* expected : {"fileItems", "updateItems", "appendItems", "iniSectionItems", "regFileItems",
                               "regValueItems", "shellLinkItems", "textLineItems", "folderItems", "win98se", "winme",
                               "win2k", "winxp", "type=1", "type=4", "precache=1", "optional=1", "enable=0",
                               "enable=1", "pattern=*Child0002*", "destination=%TARGETFOLDER%\\Uninstall.exe"})
    EXPECT_EQ(seen.count(expected), 1u) << expected;
}

TEST(DemoPayload, TextsCarryWhatTheSetupEdits) {
  EXPECT_NE(DemoText("Z614.inf").find("\r\nHKR,Child0002,"), std::string::npos);
  EXPECT_NE(DemoText("Z614.inf").find("\r\nCopyFiles="), std::string::npos);
  EXPECT_NE(DemoText("9xZ614.inf").find("\r\nCopyFiles="), std::string::npos);
  const std::string licence = DemoText("License.txt");  // more than one view, Windows line ends
  EXPECT_GT(std::count(licence.begin(), licence.end(), '\n'), 24);
  EXPECT_EQ(licence.find("\n"), licence.find("\r\n") + 1);
  const std::string profile = DemoText("default.nwp");  // one binary value over continuation lines
  const RegistryReport report = CheckReg(profile);
  ASSERT_EQ(report.ops.size(), 1u);
  EXPECT_EQ(report.ops[0].key, "SOFTWARE\\Xelta\\Z614\\Profiles");
  EXPECT_EQ(std::make_pair(report.ops[0].type, report.ops[0].data.size()), std::make_pair(kRegBinary, size_t{91}));
  EXPECT_NE(profile.find(",\\\r\n"), std::string::npos);
}

}  // namespace
