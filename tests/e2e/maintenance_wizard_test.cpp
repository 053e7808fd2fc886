// The maintenance wizards of an installed product, driven by the robot through the temporary
// copy of a plain start: the choice page with its Exit, a setup without its install script, an
// installation whose Remove.cnf is gone, and Modify, Update and Uninstall over an installation
// that Modify itself lays down from the payload.
#include <gtest/gtest.h>

#include <windows.h>


#include <set>

#include "tests/e2e/wizard_scenario.h"

namespace {

constexpr int kChoiceUpdate = 1042, kChoiceUninstall = 1043, kKeepSettings = 1066,
              kKeepSmsData = 1067, kUpdateComponents = 1067, kUpdateProfiles = 1068,
              kSettingsView = 1006;
const char kTarget[] = "C:\\z614\\Installed";
const char kUninstallEntry[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Xelta Z614";
const char kRecordKey[] = "Software\\Xelta\\Z614\\Installation";
const char kProductKey[] = "Software\\Xelta\\Z614";

DWORD RecordedComponents() {
  DWORD set = 0, size = sizeof set;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, kRecordKey, "InstalledComponents", RRF_RT_REG_DWORD,
                   nullptr, &set, &size) != ERROR_SUCCESS) {
    return 0;
  }
  return set;
}
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

  std::string SettingsText() {
    return WindowTextOf(GetWindow(GetDlgItem(Page(), kSettingsView), GW_CHILD));
  }

  // A picture of each page the first time it is shown, named after the page.
  void Visit() {
    const WizardPage page = CurrentPage(frame_);
    if (HasFatalFailure() || !pictured_.insert(page).second) return;
    Picture(frame_, std::string("maintenance-") + PageName(page));
  }

  // Next from a page whose worker runs, to the flow's finish page. A card dialog that the card
  // steps open while no card is in is cancelled, as a user without the card would.
  void RunWorker(WizardPage working, WizardPage finish) {
    Next(working);
    Visit();
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(frame_, kCancel))) << "Cancel is hidden";
    const DWORD start = GetTickCount();
    ASSERT_TRUE(WaitUntil(
        [&] {
          if (HWND dialog = FindMessageBox({copyId_})) PressButton(dialog, 1);
          return CurrentPage(frame_) == finish;
        },
        120000));
    printf("%s: %lu ms\n", PageName(working), static_cast<unsigned long>(GetTickCount() - start));
    ASSERT_TRUE(WaitForPage(frame_, finish, kUiTimeoutMs));
    Visit();
    EXPECT_EQ(ControlText(frame_, kNext), "Finish");
  }

  void Finish() {
    ASSERT_TRUE(PressButton(frame_, kNext));
    EXPECT_EQ(ExitCode(), 0u);
  }

  std::set<WizardPage> pictured_;
};

// Exit on the choice page ends the wizard without a question and schedules the copy's deletion.
TEST_F(MaintenanceWizard, ExitEndsAtOnceAndSchedulesTheCopysDeletion) {
  RecordInstallation(29);
  Start(full_, WizardPage::MaintenanceChoice);
  Visit();
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

// Modify lays the installation down from the payload (its Remove.cnf does not exist yet), Update
// takes it away and back, and Uninstall with both boxes cleared removes what it made.
TEST_F(MaintenanceWizard, ModifyUpdateAndUninstallOfOneInstallation) {
  RecordInstallation(29);  // Typical: drivers, user interface, help, short messaging
  Start(full_, WizardPage::MaintenanceChoice);
  Visit();
  Next(WizardPage::ModifyWelcome);
  Visit();
  EXPECT_FALSE(ControlEnabled(frame_, kBack)) << "the choice page is not shown again";
  EXPECT_EQ(ControlText(frame_, kCancel), "Cancel");
  Next(WizardPage::ModifyComponents);
  Visit();
  HWND list = GetDlgItem(Page(), kComponents);
  EXPECT_EQ(ListViewRows(list), (std::vector<std::string>{"Xelta Z614 drivers", "Help files",
                                                           "Administrator page",
                                                           "PC/SC smart card driver"}));
  EXPECT_FALSE(ControlEnabled(frame_, kNext)) << "nothing changed yet";
  SetListViewChecked(list, 1, false);
  EXPECT_TRUE(WaitUntil([&] { return ControlEnabled(frame_, kNext); }, kUiTimeoutMs));
  SetListViewChecked(list, 1, true);
  EXPECT_TRUE(WaitUntil([&] { return !ControlEnabled(frame_, kNext); }, kUiTimeoutMs))
      << "the installed set again";
  SetListViewChecked(list, 1, false);  // Help goes
  SetListViewChecked(list, 2, true);   // the administrator page comes
  Next(WizardPage::ModifySummary);
  Visit();
  EXPECT_EQ(SettingsText(), std::string("Installed in folder:\r\n\t") + kTarget +
                                "\r\n\r\nComponents to be removed:\r\n\tHelp files\r\n\r\n"
                                "Components to be added:\r\n\tAdministrator page\r\n\r\n");
  RunWorker(WizardPage::Modifying, WizardPage::ModifyFinish);
  Finish();
  EXPECT_EQ(RecordedComponents(), 23u) << "drivers, user interface, administrator, messaging";
  EXPECT_TRUE(FileExists(InTarget("mod_adm.dll")));
  const std::string removeCnf = ReadFileBytes(InTarget("Remove.cnf"));
  EXPECT_NE(removeCnf.rfind(std::string("[AddFile]\r\n,") + kTarget + "\\*.z6?\r\n\r\n"),
            std::string::npos);

  Start(full_, WizardPage::MaintenanceChoice);
  ASSERT_TRUE(ClickButton(Page(), kChoiceUpdate));
  Next(WizardPage::UpdateWelcome);
  Visit();
  EXPECT_EQ(ControlText(frame_, kCancel), "E&xit");
  Next(WizardPage::UpdateOptions);
  Visit();
  EXPECT_TRUE(ControlChecked(Page(), kUpdateComponents));
  ASSERT_TRUE(ClickButton(Page(), kUpdateComponents));
  if (ControlEnabled(Page(), kUpdateProfiles)) {
    ASSERT_TRUE(ClickButton(Page(), kUpdateProfiles));
  }
  EXPECT_TRUE(WaitUntil([&] { return !ControlEnabled(frame_, kNext); }, kUiTimeoutMs))
      << "nothing to update";
  ASSERT_TRUE(ClickButton(Page(), kUpdateComponents));
  EXPECT_TRUE(WaitUntil([&] { return ControlEnabled(frame_, kNext); }, kUiTimeoutMs));
  Next(WizardPage::UpdateSummary);
  Visit();
  EXPECT_EQ(SettingsText(), std::string("Destination folder:\r\n\t") + kTarget +
                                "\r\n\r\nSelected components:\r\n\tXelta Z614 drivers\r\n"
                                "\tUser interface\r\n\t     Administrator page\r\n"
                                "\tSMS application\r\n");
  RunWorker(WizardPage::Updating, WizardPage::UpdateFinish);
  Finish();
  EXPECT_EQ(RecordedComponents(), 23u);
  EXPECT_TRUE(FileExists(InTarget("mod_adm.dll")));

  // Uninstall from the installed uninstaller, keeping nothing: the copy runs the Uninstall
  // pages alone, and the folder that held the started file goes.
  WriteFileBytes(InTarget("Inbox.sms"), "message");
  Start(InTarget("Uninstall.exe"), WizardPage::UninstallWelcome);
  Visit();
  EXPECT_TRUE(ControlChecked(Page(), kKeepSettings));
  EXPECT_TRUE(ControlChecked(Page(), kKeepSmsData));
  ASSERT_TRUE(ClickButton(Page(), kKeepSettings));
  ASSERT_TRUE(ClickButton(Page(), kKeepSmsData));
  Next(WizardPage::UninstallSummary);
  Visit();
  EXPECT_EQ(SettingsText(), std::string("Installed in folder:\r\n\t") + kTarget +
                                "\r\n\r\nInstalled components:\r\n\tXelta Z614 drivers\r\n"
                                "\tUser interface\r\n\t     Administrator page\r\n"
                                "\tSMS application\r\n");
  RunWorker(WizardPage::Uninstalling, WizardPage::UninstallFinish);
  Finish();
  EXPECT_FALSE(FileExists(kTarget)) << "the folder of the started uninstaller is gone";
  EXPECT_FALSE(KeyExists(kProductKey));
  EXPECT_FALSE(KeyExists(kUninstallEntry));
  EXPECT_NE(RunOnceValue().find(" /c del "), std::string::npos);
}

}  // namespace
