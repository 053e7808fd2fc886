// The maintenance wizards of an installed product, driven by the robot through the temporary
// copy of a plain start: the choice page with its Exit, a setup without its install script, an
// installation whose Remove.cnf is gone. The flows' work, and the pictures of their pages, are
// the machine life scenario's.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/e2e/wizard_scenario.h"

namespace {

constexpr int kChoiceUpdate = 1042, kChoiceUninstall = 1043;
const char kTarget[] = "C:\\z614\\Installed";
const char kUninstallEntry[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Xelta Z614";
const char kRecordKey[] = "Software\\Xelta\\Z614\\Installation";
const char kProductKey[] = "Software\\Xelta\\Z614";

bool KeyExists(const char* key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  RegCloseKey(opened);
  return true;
}
std::string InTarget(const std::string& name) { return std::string(kTarget) + "\\" + name; }

std::string WindowsFile(const char* name) {
  char folder[MAX_PATH] = "";
  GetWindowsDirectoryA(folder, sizeof folder);
  return std::string(folder) + "\\" + name;
}

class MaintenanceWizard : public WizardScenario {
 protected:
  // The product's WIN.INI sections and appended lines outlive its uninstall by design; the
  // machine gets its own back for the scenarios that follow.
  static void SetUpTestSuite() { winIni_ = ReadFileBytes(WindowsFile("win.ini")); }
  static void TearDownTestSuite() {
    WriteFileBytes(WindowsFile("win.ini"), winIni_);
    DeleteFileA(WindowsFile("Xelta.txt").c_str());
  }
  static inline std::string winIni_;

  void SetUp() override {
    WizardScenario::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kProductKey);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUninstallEntry);
    DeleteFileA(InTarget("Remove.cnf").c_str());
  }

  // What an installation leaves for start-up to find: the installed-programs entry and the
  // record's folder and components.
  void RecordInstallation(DWORD components) {
    CreateDirectoryA(kTarget, nullptr);
    const std::string command = InTarget("UNINSTALL.EXE");
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, kUninstallEntry, "UninstallString", REG_SZ,
                    command.c_str(), static_cast<DWORD>(command.size() + 1));
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, kRecordKey, "TargetFolder", REG_SZ, kTarget,
                    sizeof kTarget);
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, kRecordKey, "InstalledComponents", REG_DWORD,
                    &components, sizeof components);
  }

  DWORD ExitCode() {
    DWORD code = STILL_ACTIVE;
    WaitForSingleObject(wizard_, kUiTimeoutMs);
    GetExitCodeProcess(wizard_, &code);
    return code;
  }

  void Finish() {
    ASSERT_TRUE(PressButton(frame_, kNext));
    EXPECT_EQ(ExitCode(), 0u);
  }
};

// Exit on the choice page ends the wizard without a question and schedules the copy's deletion.
TEST_F(MaintenanceWizard, ExitEndsAtOnceAndSchedulesTheCopysDeletion) {
  RecordInstallation(29);
  Start(full_, WizardPage::MaintenanceChoice);
  EXPECT_TRUE(ControlChecked(Page(), 1041)) << "Modify is chosen at first";
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(frame_, kBack)));
  EXPECT_EQ(ControlText(frame_, kCancel), "E&xit");
  ASSERT_TRUE(PressButton(frame_, kCancel));
  EXPECT_EQ(ExitCode(), 0u);
  const std::vector<std::string> copies = TemporaryCopies();
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_NE(RunOnceValue().find(" /c del "), std::string::npos);
  EXPECT_NE(RunOnceValue().find(copies[0]), std::string::npos);
}

// Without Setup.cnf beside the started file and in the payload, Modify and Update end the
// process with exit code 1 after the message; Uninstall needs no script.
TEST_F(MaintenanceWizard, ASetupWithoutItsScriptOffersOnlyUninstall) {
  RecordInstallation(29);
  WriteFileBytes(InTarget("Remove.cnf"), "[AddFile]\r\n,C:\\z614\\Installed\\Readme.txt\r\n\r\n");
  const char* bare = getenv("Z614_SCRIPTLESS_SETUP_EXE");
  ASSERT_TRUE(bare && *bare);
  const std::string setup = PathFromEnvironment("Z614_SCRIPTLESS_SETUP_EXE");
  struct Case {
    int choice;  // 0: Modify as the page first chooses it
    WizardPage shown;
  };
  for (const Case& c : {Case{0, WizardPage::None}, Case{kChoiceUpdate, WizardPage::None},
                        Case{kChoiceUninstall, WizardPage::UninstallWelcome}}) {
    SCOPED_TRACE(c.choice);
    Start(setup, WizardPage::MaintenanceChoice);
    if (c.choice) {
      ASSERT_TRUE(ClickButton(Page(), c.choice));
    }
    ASSERT_TRUE(PressButton(frame_, kNext));
    if (c.shown == WizardPage::None) {
      HWND box = WaitForMessageBox();
      ASSERT_NE(box, nullptr);
      const ShownMessage message = ReadMessageBox(box);
      EXPECT_EQ(message.caption, "Xelta Z614");
      EXPECT_EQ(message.text, "Cannot open the compressed file.");
      ASSERT_TRUE(PressButton(box, IDOK));
      EXPECT_EQ(ExitCode(), 1u);
    } else {
      EXPECT_TRUE(WaitForPage(frame_, c.shown, kUiTimeoutMs));
      ASSERT_TRUE(CancelAndConfirm());
    }
    CloseHandle(wizard_);
    wizard_ = nullptr;
  }
}

// An installation whose Remove.cnf is gone: the Uninstall welcome removes the installed-programs
// entry and goes straight to the finish page; the next start installs again.
TEST_F(MaintenanceWizard, UninstallWithoutRemoveCnfGoesToTheFinishPage) {
  RecordInstallation(29);
  Start(full_, WizardPage::MaintenanceChoice);
  ASSERT_TRUE(ClickButton(Page(), kChoiceUninstall));
  ASSERT_TRUE(PressButton(frame_, kNext));
  ASSERT_TRUE(WaitForPage(frame_, WizardPage::UninstallFinish, kUiTimeoutMs));
  EXPECT_FALSE(KeyExists(kUninstallEntry));
  EXPECT_FALSE(ControlEnabled(frame_, kBack));
  Finish();
  Start(full_, WizardPage::Welcome);
}

}  // namespace
