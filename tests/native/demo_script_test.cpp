// The demo payload's install script exercises the whole script language: every action and
// list, both value types, every component and system tag (negated ones too), precached and
// optional lines, the uninstaller line, and the smart card switch of the installed INF.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "core/registry_sink.h"
#include "core/script_header.h"
#include "core/script_line.h"
#include "tools/cnfcheck/registry_check.h"
#include "tools/cnfcheck/script_check.h"

namespace fs = std::filesystem;

namespace {

std::string DemoText(const char* name) {
  std::ifstream in(fs::path(__FILE__).parent_path() / "../../package/demo" / name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

const ItemField* FieldOf(const CheckedItem& item, const char* name) {
  for (const ItemField& field : item.view.fields)
    if (std::string(field.name) == name) return &field;
  return nullptr;
}

class DemoSetupScript : public testing::Test {
 protected:
  void SetUp() override {
    text_ = DemoText("Setup.cnf");
    ASSERT_FALSE(text_.empty());
    ScriptCheckOptions options{{}, kAllComponents, nullptr};
    ParseSystemName("all", &options.systems);
    CheckScript(text_.data(), text_.size(), options, &report_);
  }

  // Every header of the script, as the loader reads it.
  std::vector<SectionHeader> Headers() const {
    std::vector<SectionHeader> headers;
    char line[kScriptLineSize];
    size_t pos = 0;
    int cut = 0;
    while (ReadScriptLine(text_.data(), text_.size(), &pos, line, sizeof line, &cut)) {
      SectionHeader header{};
      if (line[0] == '[' && ParseSectionHeader(line, &header, nullptr)) headers.push_back(header);
    }
    return headers;
  }

  std::string text_;
  ScriptReport report_;
};

TEST_F(DemoSetupScript, FillsEveryListAndReadsClean) {
  EXPECT_TRUE(report_.warnings.empty());
  std::set<size_t> lists;
  for (const CheckedItem& item : report_.items) lists.insert(item.view.listIndex);
  EXPECT_EQ(lists.size(), kItemListCount);
}

TEST_F(DemoSetupScript, NamesEveryTagPlainAndSomeNegated) {
  ComponentSet included = 0, excluded = 0;
  OsTagSet osIncluded = 0, osExcluded = 0;
  std::set<ScriptAction> actions;
  for (const SectionHeader& header : Headers()) {
    actions.insert(header.action);
    included |= header.includeMask;
    excluded |= header.excludeMask;
    osIncluded |= header.osInclude;
    osExcluded |= header.osExclude;
  }
  EXPECT_EQ(actions.size(), 10u);
  EXPECT_EQ(included, kAllComponents);
  EXPECT_NE(excluded, 0u);
  EXPECT_EQ(osIncluded, 0x3Fu);
  EXPECT_NE(osExcluded, 0u);
}

TEST_F(DemoSetupScript, HasEachSystemItsOwnItemsAndTheFlagsAndLinesTheSetupNeeds) {
  std::set<std::string> onlyOn;
  bool regSz = false, regDword = false, precached = false, optional = false, uninstaller = false;
  std::set<int64_t> textLineModes;
  for (const CheckedItem& item : report_.items) {
    if (item.systems.size() == 1) onlyOn.insert(item.systems[0]);
    const ItemField* type = FieldOf(item, "type");
    if (type) (type->number == kRegSz ? regSz : regDword) = true;
    if (const ItemField* flag = FieldOf(item, "precache")) precached = precached || flag->number == 1;
    if (const ItemField* flag = FieldOf(item, "optional")) optional = optional || flag->number == 1;
    if (const ItemField* source = FieldOf(item, "source"))
      uninstaller = uninstaller || (source->text == ":" && FieldOf(item, "destination")->text == "%TARGETFOLDER%\\Uninstall.exe");
    if (const ItemField* mode = FieldOf(item, "enable")) {
      textLineModes.insert(mode->number);
      EXPECT_EQ(FieldOf(item, "pattern")->text, "*Child0002*");
    }
  }
  EXPECT_EQ(onlyOn, (std::set<std::string>{"win98se", "winme", "win2k", "winxp"}));
  EXPECT_TRUE(regSz && regDword && precached && optional && uninstaller);
  EXPECT_EQ(textLineModes, (std::set<int64_t>{0, 1}));
}

TEST(DemoPayloadTexts, InfFilesCarryCopyFilesAndTheSmartCardChild) {
  const std::string inf = DemoText("Z614.inf");
  EXPECT_NE(inf.find("\r\nCopyFiles="), std::string::npos);
  EXPECT_NE(inf.find("\r\nHKR,Child0002,"), std::string::npos);
  EXPECT_NE(DemoText("9xZ614.inf").find("\r\nCopyFiles="), std::string::npos);
}

TEST(DemoPayloadTexts, DefaultProfileIsOneBinaryValueOverFourLines) {
  const std::string profile = DemoText("default.nwp");
  RegistryReport report;
  CheckRegistryText(profile.data(), profile.size(), &report);
  ASSERT_EQ(report.ops.size(), 1u);
  EXPECT_EQ(report.ops[0].key, "SOFTWARE\\Xelta\\Z614\\Profiles");
  EXPECT_EQ(report.ops[0].name, "Default");
  EXPECT_EQ(report.ops[0].type, kRegBinary);
  EXPECT_EQ(report.ops[0].data.size(), 91u);
  size_t continued = 0;
  for (size_t at = profile.find(",\\\r\n"); at != std::string::npos; at = profile.find(",\\\r\n", at + 1)) ++continued;
  EXPECT_EQ(continued, 3u);
  EXPECT_EQ(profile.rfind("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614\\Profiles]\r\n", 0), 0u);
}

TEST(DemoPayloadTexts, LicenceFillsMoreThanOneView) {
  const std::string licence = DemoText("License.txt");
  EXPECT_GT(std::count(licence.begin(), licence.end(), '\n'), 24);
  EXPECT_EQ(licence.find("\n"), licence.find("\r\n") + 1) << "Windows line ends, so the text view breaks lines";
}

}  // namespace
