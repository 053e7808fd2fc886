// A damaged download installs nothing: the packed demo with one byte of Z614UI.exe inverted
// (damage-entry.sh), walked to the Installing page with /Log. The worker checks the payload
// before its first change, names the entry in a message, and the wizard ends with exit code
// 1603; the machine keeps only the temporary copy (left to the next start's sweep) and the log.
#include <gtest/gtest.h>

#include <windows.h>

#include <regex>

#include "tests/e2e/footprint.h"
#include "tests/e2e/wizard_scenario.h"

namespace {

constexpr char kLogFile[] = "C:\\z614\\setup.log";

class DamagedPayload : public WizardScenario {};

TEST_F(DamagedPayload, NamesTheEntryEndsWith1603AndChangesNothing) {
  const std::string damaged = PathFromEnvironment("Z614_DAMAGED_SETUP_EXE");
  ASSERT_FALSE(damaged.empty()) << "Z614_DAMAGED_SETUP_EXE names the damaged setup";
  CreateDirectoryA("C:\\z614", nullptr);
  const MachineSnapshot before = TakeSnapshot();

  Start(damaged, WizardPage::Welcome, std::string("/Log ") + kLogFile);
  AcceptLicense();
  Next(WizardPage::Folder);
  Next(WizardPage::SetupType);
  Next(WizardPage::Summary);
  Next(WizardPage::Installing);
  HWND box = WaitForMessageBox(30000);
  ASSERT_NE(box, nullptr) << "the damage is shown";
  const ShownMessage message = ReadMessageBox(box);
  EXPECT_EQ(message.caption, "Xelta Z614");
  EXPECT_EQ(message.text,
            "The setup file is damaged: the contents of Z614UI.exe do not match their checksum. "
            "Nothing has been changed on this computer. Obtain a new copy of the setup and run it "
            "again.");
  ASSERT_TRUE(PressButton(box, IDOK));
  ASSERT_EQ(WaitForSingleObject(wizard_, kUiTimeoutMs), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeProcess(wizard_, &code);
  EXPECT_EQ(code, 1603u);

  static const std::regex copyName("Del[0-9A-Fa-f]+\\.tmp");
  std::vector<std::string> changes;
  for (const std::string& line : Difference(before, TakeSnapshot())) {
    changes.push_back(std::regex_replace(line, copyName, "Del*.tmp"));
  }
  EXPECT_EQ(changes, (std::vector<std::string>{"+ C:\\users\\root\\Temp\\Del*.tmp",
                                               std::string("+ ") + kLogFile}));
  EXPECT_NE(ReadFileBytes(kLogFile).find("Payload check: entry Z614UI.exe is damaged"),
            std::string::npos);
}

}  // namespace
