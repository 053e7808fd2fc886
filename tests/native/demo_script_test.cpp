// The demo payload exercises the whole script language, so the demo run covers it: every
// list, both value types, every component tag (negated ones too), items of each system's own,
// precached and optional lines, the uninstaller line and the smart card switch.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "core/registry_sink.h"
#include "tools/cnfcheck/registry_check.h"
#include "tools/cnfcheck/script_check.h"

namespace {

std::string DemoText(const char* name) {
  std::ifstream in(std::filesystem::path(__FILE__).parent_path() / "../../package/demo" / name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(DemoPayload, SetupScriptUsesTheWholeLanguageAndReadsClean) {
  const std::string text = DemoText("Setup.cnf");
  ScriptCheckOptions options{{}, kAllComponents, nullptr};
  ParseSystemName("all", &options.systems);
  ScriptReport report;
  CheckScript(text.data(), text.size(), options, &report);
  EXPECT_TRUE(report.warnings.empty());

  std::set<std::string> seen;  // lists, systems with items of their own, and the kinds of line
  ComponentSet included = 0, excluded = 0;
  for (const CheckedItem& item : report.items) {
    included |= item.view.includeMask;
    excluded |= item.view.excludeMask;
    seen.insert(ItemListName(item.view.listIndex));
    if (item.systems.size() == 1) seen.insert(item.systems[0]);
    for (const ItemField& f : item.view.fields) {
      const std::string name = f.name;
      if (name == "type" || ((name == "precache" || name == "optional") && f.number == 1) || name == "enable")
        seen.insert(name + "=" + std::to_string(f.number));
      if (name == "pattern") seen.insert(f.text);
      if (name == "destination" && f.text == "%TARGETFOLDER%\\Uninstall.exe") seen.insert("uninstaller");
    }
  }
  EXPECT_EQ(included, kAllComponents);
  EXPECT_NE(excluded, 0u);
  EXPECT_EQ(seen.size(), kItemListCount + 4 + 8);
  for (const char* expected : {"win98se", "winme", "win2k", "winxp", "type=1", "type=4", "precache=1", "optional=1",
                               "enable=0", "enable=1", "*Child0002*", "uninstaller"})
    EXPECT_EQ(seen.count(expected), 1u) << expected;
}

TEST(DemoPayload, TextsCarryWhatTheSetupEdits) {
  EXPECT_NE(DemoText("Z614.inf").find("\r\nHKR,Child0002,"), std::string::npos);
  EXPECT_NE(DemoText("Z614.inf").find("\r\nCopyFiles="), std::string::npos);
  EXPECT_NE(DemoText("9xZ614.inf").find("\r\nCopyFiles="), std::string::npos);
  const std::string licence = DemoText("License.txt");  // more than one view, Windows line ends
  EXPECT_GT(std::count(licence.begin(), licence.end(), '\n'), 24);
  EXPECT_EQ(licence.find("\n"), licence.find("\r\n") + 1);
  // The default profile: one binary value over continuation lines.
  const std::string profile = DemoText("default.nwp");
  RegistryReport report;
  CheckRegistryText(profile.data(), profile.size(), &report);
  ASSERT_EQ(report.ops.size(), 1u);
  EXPECT_EQ(report.ops[0].key, "SOFTWARE\\Xelta\\Z614\\Profiles");
  EXPECT_EQ(std::make_pair(report.ops[0].type, report.ops[0].data.size()), std::make_pair(kRegBinary, size_t{91}));
  EXPECT_NE(profile.find(",\\\r\n"), std::string::npos);
}

}  // namespace
