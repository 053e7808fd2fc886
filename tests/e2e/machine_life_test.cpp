// One machine's life: the demo installed Typical, modified, updated three ways, uninstalled
// keeping the settings and the short messages, installed again and uninstalled from the
// installed programs' UninstallString keeping nothing. After each step the machine is compared
// with a snapshot taken before the first install: whatever differs must be something the step
// is meant to leave, and each such survivor is named below with its reason.
#include <gtest/gtest.h>

#include <windows.h>

#include <regex>
#include <string>
#include <vector>

#include "tests/e2e/footprint.h"
#include "tests/e2e/wizard_scenario.h"

namespace {

constexpr int kRestartNo = 1029, kViewReadMe = 1032, kStartProduct = 1033, kChoiceUpdate = 1042,
              kChoiceUninstall = 1043, kKeepSettings = 1066, kKeepSmsData = 1067,
              kUpdateComponents = 1067, kUpdateProfiles = 1068;
const char kTarget[] = "C:\\Program Files\\Xelta\\Xelta Z614";
const char kUninstallEntry[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Xelta Z614";

struct Survivor {
  const char* pattern;  // a regular expression over a line of the difference
  const char* reason;
};

// Left by every run: the running copy and the value that deletes it at the next logon.
const std::vector<Survivor> kEveryRun = {
    {R"(^\+ .*\\Temp\\Del[0-9A-Fa-f]+\.tmp)", "the temporary copy that ran the wizard"},
    {R"(^[+~] HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce(\|Xelta Z614.*)?$)",
     "the value that deletes the temporary copy at the next logon"},
    {R"(win\.ini)", "the product's WIN.INI sections are replaced, never removed"},
    {R"(Xelta\.txt)", "AppendFile adds to a file the uninstall keeps"},
    {R"(^\+ C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Xelta\\(Xelta Z614\\)?$)",
     "Remove.cnf records the menu folders under the user's programs folder; the demo's "
     "shortcuts stand in the common one, whose folders stay"},
    {R"(^\+ C:\\windows\\system32\\Z614(BUS|MC|MDM|NIC)\.vxd$)",
     "the shared 9x drivers: UpdateFile replaces them and records nothing, so they stay"},
    {R"(\\Templates\\\.(config|local)\\)",
     "Wine's menu builder mirrors each shortcut for the host's desktop; not the product's doing"},
    {R"(\\Temp\\Z614Standins\.log$)", "the stand-in programs' own log, a test substitute's"},
};
// Kept by an uninstall with both boxes set: the product's key without its checksums, and the
// short messages.
const std::vector<Survivor> kKeptSettings = {
    {R"(^\+ HKLM\\Software\\Xelta(\\Z614(?!\\Diagnostics)([\\|].*)?)?$)",
     "the settings, profiles and installation record kept by the first box"},
    {R"(\.sms$)", "the short messages kept by the second box"},
    {R"(^\+ C:\\Program Files\\Xelta\\$)", "the folder of the kept short messages"},
    {R"(^\+ C:\\Program Files\\Xelta\\Xelta Z614\\$)", "the folder of the kept short messages"},
};

class MachineLife : public WizardScenario {
 protected:
  // Every page the life passes is kept as a picture, named after the page.
  void Next(WizardPage page) {
    WizardScenario::Next(page);
    Picture(frame_, std::string("life-") + PageName(page));
  }

  // Lines of the difference from the first snapshot that no survivor explains.
  std::vector<std::string> Unexplained(const std::vector<Survivor>& extra) {
    std::vector<Survivor> survivors = kEveryRun;
    survivors.insert(survivors.end(), extra.begin(), extra.end());
    std::vector<std::string> left;
    for (const std::string& line : Difference(before_, TakeSnapshot())) {
      bool explained = false;
      for (const Survivor& s : survivors) explained |= std::regex_search(line, std::regex(s.pattern));
      if (!explained) left.push_back(line);
    }
    return left;
  }

  // Cancels each card dialog the card steps open (no card comes in this life) until `page`.
  void WaitThroughWork(WizardPage page) {
    ASSERT_TRUE(WaitUntil(
        [&] {
          if (HWND dialog = FindMessageBox({copyId_})) PressButton(dialog, 1);
          return CurrentPage(frame_) == page;
        },
        120000))
        << "shown " << PageName(CurrentPage(frame_));
    ASSERT_TRUE(WaitForPage(frame_, page, kUiTimeoutMs));
    Picture(frame_, std::string("life-") + PageName(page));
  }

  void Finish() {
    ASSERT_TRUE(PressButton(frame_, kNext));
    ASSERT_EQ(WaitForSingleObject(wizard_, kUiTimeoutMs), WAIT_OBJECT_0);
  }

  void InstallTypical() {
    Start(full_);
    AcceptLicense();
    Next(WizardPage::Folder);
    Next(WizardPage::SetupType);
    ASSERT_TRUE(SelectListBoxRow(Page(), kSetupTypes, "Typical"));
    Next(WizardPage::Summary);
    Next(WizardPage::Installing);
    // Without the card the finish page asks for a restart, which this life declines.
    WaitThroughWork(WizardPage::RestartFinish);
    ASSERT_TRUE(ClickButton(Page(), kRestartNo));
    ASSERT_TRUE(WaitUntil([&] { return ControlChecked(Page(), kRestartNo); }, kUiTimeoutMs));
    Finish();
  }

  void ChooseFlow(int choice, WizardPage welcome) {
    Start(full_, WizardPage::MaintenanceChoice);
    Picture(frame_, "life-maintenance");
    if (choice) {
      ASSERT_TRUE(ClickButton(Page(), choice));
    }
    Next(welcome);
  }

  void Update(bool components, bool profiles) {
    ChooseFlow(kChoiceUpdate, WizardPage::UpdateWelcome);
    Next(WizardPage::UpdateOptions);
    if (!components) {
      ASSERT_TRUE(ClickButton(Page(), kUpdateComponents));
    }
    if (!profiles) {
      ASSERT_TRUE(ClickButton(Page(), kUpdateProfiles));
    }
    ASSERT_TRUE(WaitUntil([&] { return ControlEnabled(frame_, kNext); }, kUiTimeoutMs));
    Next(WizardPage::UpdateSummary);
    Next(WizardPage::Updating);
    WaitThroughWork(WizardPage::UpdateFinish);
    Finish();
  }

  // From the welcome page on: the boxes as asked, then the work and Finish.
  void Uninstall(bool keep) {
    if (!keep) {
      ASSERT_TRUE(ClickButton(Page(), kKeepSettings));
      ASSERT_TRUE(ClickButton(Page(), kKeepSmsData));
    }
    Next(WizardPage::UninstallSummary);
    Next(WizardPage::Uninstalling);
    WaitThroughWork(WizardPage::UninstallFinish);
    Finish();
  }

  MachineSnapshot before_;
};

TEST_F(MachineLife, InstallModifyUpdateUninstallAndAgain) {
  char windows[MAX_PATH] = "";
  GetWindowsDirectoryA(windows, sizeof windows);
  const std::string winIni = std::string(windows) + "\\win.ini";
  const std::string winIniBefore = ReadFileBytes(winIni);
  before_ = TakeSnapshot();
  const std::string target = kTarget;

  InstallTypical();
  ASSERT_TRUE(FileExists(target + "\\Z614UI.hlp"));

  // Modify: Help goes, the administrator page comes.
  ChooseFlow(0, WizardPage::ModifyWelcome);
  Next(WizardPage::ModifyComponents);
  HWND list = GetDlgItem(Page(), kComponents);
  EXPECT_FALSE(ControlEnabled(frame_, kNext)) << "nothing changed yet";
  SetListViewChecked(list, 1, false);
  SetListViewChecked(list, 2, true);
  ASSERT_TRUE(WaitUntil([&] { return ControlEnabled(frame_, kNext); }, kUiTimeoutMs));
  Next(WizardPage::ModifySummary);
  EXPECT_EQ(WindowTextOf(GetWindow(GetDlgItem(Page(), 1006), GW_CHILD)),
            "Installed in folder:\r\n\t\"" + target + "\"\r\n\r\nComponents to be removed:\r\n"
            "\tHelp files\r\n\r\nComponents to be added:\r\n\tAdministrator page\r\n\r\n");
  Next(WizardPage::Modifying);
  WaitThroughWork(WizardPage::ModifyFinish);
  Finish();
  EXPECT_FALSE(FileExists(target + "\\Z614UI.hlp")) << "the help files went by Remove.cnf";
  EXPECT_TRUE(FileExists(target + "\\mod_adm.dll"));

  Update(true, false);
  const std::string removeCnf = ReadFileBytes(target + "\\Remove.cnf");
  Update(false, true);
  HKEY diagnostics = nullptr;  // the profiles alone: no reinstall, so the checksums stay
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Xelta\\Z614\\Diagnostics", 0, KEY_READ,
                          &diagnostics), ERROR_SUCCESS);
  RegCloseKey(diagnostics);
  EXPECT_EQ(ReadFileBytes(target + "\\Remove.cnf"),
            removeCnf + "[AddFile]\r\n," + target + "\\*.z6?\r\n\r\n");
  Update(true, true);
  EXPECT_TRUE(FileExists(target + "\\mod_adm.dll")) << "Update keeps the installed set";
  EXPECT_FALSE(FileExists(target + "\\Z614UI.hlp"));

  // Uninstall keeping the settings and the short messages.
  WriteFileBytes(target + "\\Inbox.sms", "kept");
  ChooseFlow(kChoiceUninstall, WizardPage::UninstallWelcome);
  Uninstall(true);
  EXPECT_EQ(Unexplained(kKeptSettings), std::vector<std::string>{});

  // Installed again, then removed through the installed programs' entry, keeping nothing: the
  // folder that held the started uninstaller is gone.
  InstallTypical();
  char command[MAX_PATH] = "";
  DWORD size = sizeof command;
  ASSERT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, kUninstallEntry, "UninstallString", RRF_RT_REG_SZ,
                         nullptr, command, &size),
            ERROR_SUCCESS);
  Start(command, WizardPage::UninstallWelcome);
  Uninstall(false);
  EXPECT_FALSE(FileExists(target));
  EXPECT_EQ(Unexplained({}), std::vector<std::string>{});
  // What the product leaves by design goes, so the tests after this one find the prefix as new.
  WriteFileBytes(winIni, winIniBefore);
  DeleteFileA((std::string(windows) + "\\Xelta.txt").c_str());
}

}  // namespace
