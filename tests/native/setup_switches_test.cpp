#include <gtest/gtest.h>

#include <string>

#include "core/setup_switches.h"

namespace {

struct SwitchCase {
  const char* line;
  SwitchFault fault;
  const char* faultValue;
  ComponentSet components;
  const char* folder;
};

// Each line read as start-up reads it; the result and what the administrator asked for.
TEST(SetupSwitches, ReadInstallChoicesAndRefuseWhatNamesNothing) {
  const std::string longFolder = "/Silent /Folder C:\\" + std::string(252, 'f');
  const SwitchCase cases[] = {
      {"/VERYSILENT /folder \"C:\\My Apps\\Z\" /components driver,Admin", SwitchFault::kNone, "", 23, "C:\\My Apps\\Z"},
      {"/Silent /Components \" Help , SC\"", SwitchFault::kNone, "", 17 | 8 | 32, ""},
      {"/Silent /Type administrator", SwitchFault::kNone, "", 31, ""},
      {"/Silent /Type Express", SwitchFault::kUnknownType, "Express", 0, ""},
      {"/Silent /Components UI,Helpfiles", SwitchFault::kUnknownComponent, "Helpfiles", 0, ""},
      {"/Silent /Components UI,,Help", SwitchFault::kUnknownComponent, "", 0, ""},
      {"/Silent /Type Typical /Components Help", SwitchFault::kConflict, "Type", 0, ""},
      {"/Silent /Folder /Type Typical", SwitchFault::kMissingValue, "", 0, ""},
      {"/Silent /Folder Programs\\Z", SwitchFault::kFolderNotFull, "Programs\\Z", 0, ""},
      {longFolder.c_str(), SwitchFault::kFolderNotFull, nullptr, 0, ""},
      {"/Update Settings", SwitchFault::kUnknownUpdate, "Settings", 0, ""},
      {"/Update Both /Uninstall", SwitchFault::kConflict, "Uninstall", 0, ""},
  };
  for (const SwitchCase& c : cases) {
    CommandLine line;
    line.Parse(c.line, 0);
    SetupSwitches s;
    EXPECT_EQ(ReadSetupSwitches(line, &s), c.fault == SwitchFault::kNone ? 1 : 0) << c.line;
    EXPECT_EQ(s.fault, c.fault) << c.line;
    if (c.faultValue) {
      EXPECT_STREQ(s.faultValue, c.faultValue) << c.line;
    }
    if (c.fault == SwitchFault::kNone) {
      EXPECT_EQ(s.components, c.components) << c.line;
      EXPECT_STREQ(s.targetFolder, c.folder) << c.line;
    }
  }
}

TEST(SetupSwitches, MaintenanceAndVisibilityMakeTheRunUnattended) {
  const struct {
    const char* line;
    bool unattended;
    RunVisibility visibility;
    const char* flags;  // update, its components and profiles, uninstall, both keeps, no restart
  } cases[] = {
      {"/Cloned C:\\Setup.exe", false, RunVisibility::kWizard, "0000000"},
      {"/Silent /VerySilent /NoRestart", true, RunVisibility::kVerySilent, "0000001"},
      {"/update profiles", true, RunVisibility::kWizard, "1010000"},
      {"/Silent /Update BOTH", true, RunVisibility::kSilent, "1110000"},
      {"-Uninstall -KeepSmsData", true, RunVisibility::kWizard, "0001010"},
      {"/Uninstall /KeepSettings", true, RunVisibility::kWizard, "0001100"},
  };
  for (const auto& c : cases) {
    CommandLine line;
    line.Parse(c.line, 0);
    SetupSwitches s;
    ASSERT_EQ(ReadSetupSwitches(line, &s), 1) << c.line;
    EXPECT_EQ(IsUnattendedRun(s), c.unattended) << c.line;
    EXPECT_EQ(s.visibility, c.visibility) << c.line;
    const int flags[] = {s.update, static_cast<int>(s.updateComponents), static_cast<int>(s.updateProfiles),
                         s.uninstall, static_cast<int>(s.keepSettings), static_cast<int>(s.keepSmsData),
                         s.noRestart};
    std::string read;
    for (int flag : flags) read += static_cast<char>('0' + flag);
    EXPECT_EQ(read, c.flags) << c.line;
  }
}

}  // namespace
