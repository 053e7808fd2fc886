// One machine's life: the demo installed Typical, modified, updated three ways, uninstalled
// keeping the settings and the short messages, installed again and uninstalled from the
// installed programs' UninstallString keeping nothing, the simulated card taken out and put in
// whenever a flow asks for it. After each step the machine is compared with a snapshot taken
// before the first install: with the step's reviewed footprint, and after the last step with the
// survivors named below, each with its reason. The 9x family cannot see the card come under this
// Wine: there the insert-card dialog is cancelled once the card is in, no flow asks for the card
// to go, and the install ends on the restart page.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "tests/e2e/footprint.h"
#include "tests/e2e/wizard_scenario.h"

namespace {

constexpr int kRestartNo = 1029, kViewReadMe = 1032, kStartProduct = 1033, kChoiceUpdate = 1042,
              kChoiceUninstall = 1043, kKeepSettings = 1066, kKeepSmsData = 1067,
              kUpdateComponents = 1067, kUpdateProfiles = 1068, kCardDialogCancel = 1;
const char kTarget[] = "C:\\Program Files\\Xelta\\Xelta Z614";
const char kUninstallEntry[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Xelta Z614";

struct Survivor {
  const char* pattern;  // a regular expression over a line of the difference
  const char* reason;
  bool nineXOnly = false;  // where the card stays in
};

// What the life leaves behind on purpose once the product is gone.
const std::vector<Survivor> kSurvivors = {
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
    {R"(\\Temp\\Z614Standins\.log$)", "the stand-in programs' own log, a test substitute's"},
    {R"(^\+ C:\\windows\\system32\\rasphone\.pbk$)",
     "the substitute dial-up library's phone book, without its GPRS entry (checked below)"},
    {R"(^\+ HKLM\\Enum(\\PCMCIA)?$)",
     "the device tree and its PC-card branch, which a 9x machine has and this prefix has not: the "
     "simulator made them with the card's record, and the removal takes the card's own", true},
    {R"(^\+ HKLM\\Software\\Z614CardSimulator(\|GsmModem = .*)?$)",
     "the simulated card, still in: no flow asks for it to go, as its devices cannot be seen here",
     true},
};

class MachineLife : public WizardScenario {
 protected:
  void SetUp() override {
    WizardScenario::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(Simulate("remove")) << "Z614_CARD_SIMULATOR names the card simulator";
    before_ = TakeSnapshot();
  }

  // Every page the life passes is kept as a picture, named after the page.
  void Next(WizardPage page) {
    WizardScenario::Next(page);
    Picture(frame_, std::string("life-") + PageName(page));
  }

  // Lines of the difference from the first snapshot that no survivor explains.
  std::vector<std::string> Unexplained() {
    std::vector<std::string> left;
    for (const std::string& line : Difference(before_, TakeSnapshot())) {
      bool explained = false;
      for (const Survivor& s : kSurvivors) {
        explained |= (!s.nineXOnly || IsNineX()) && std::regex_search(line, std::regex(s.pattern));
      }
      if (!explained) left.push_back(line);
    }
    return left;
  }

  // Next on a summary page: the worker runs on `progress` until `finish` shows. The card dialogs
  // it opens ("R" remove, "I" insert, in order) are answered as by a user with the card, who
  // takes it out or puts it in. The worker's time is printed with the card dialogs' share, their
  // one-second checks and the robot's pictures, apart. The rest holds the other waits: the control
  // program's runs (it never goes idle, so each wait lasts until it ends), and no service poll,
  // as Wine refuses to start a kernel driver and a stopped one is not asked to stop.
  void Work(WizardPage progress, WizardPage finish, const char* step, const std::string& dialogs) {
    std::string shown;
    DWORD inDialogs = 0;
    const DWORD start = GetTickCount();
    WizardScenario::Next(progress);
    if (dialogs.empty()) Picture(frame_, std::string("life-") + PageName(progress));
    ASSERT_TRUE(WaitUntil(
        [&] {
          if (HWND dialog = FindMessageBox({copyId_})) {
            const DWORD appeared = GetTickCount();
            const bool insert = WindowTextOf(dialog) == "Insert Xelta Z614";
            if (shown.empty()) Picture(frame_, std::string("life-") + PageName(progress));
            shown += insert ? "I" : "R";
            Picture(dialog, std::string("life-") + (insert ? "insert-card" : "remove-card"));
            EXPECT_TRUE(Simulate(insert ? "insert" : "remove"));
            if (insert && IsNineX()) PressButton(dialog, kCardDialogCancel);
            EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000)) << "the card is seen";
            inDialogs += GetTickCount() - appeared;
          }
          return CurrentPage(frame_) == finish;
        },
        120000))
        << "shown " << PageName(CurrentPage(frame_));
    const DWORD worker = GetTickCount() - start;
    printf("life %s: worker %u ms, card dialogs %u ms (%s), the rest %u ms\n", step,
           unsigned(worker), unsigned(inDialogs), shown.c_str(), unsigned(worker - inDialogs));
    EXPECT_EQ(shown, dialogs) << step;
    ASSERT_TRUE(WaitForPage(frame_, finish, kUiTimeoutMs));
    Picture(frame_, std::string("life-") + PageName(finish));
  }

  void Finish() {
    ASSERT_TRUE(PressButton(frame_, kNext));
    ASSERT_EQ(WaitForSingleObject(wizard_, kUiTimeoutMs), WAIT_OBJECT_0);
  }

  // A top-level window that the finish page's choices started; the test closes it again.
  static bool CloseStartedWindow(const char* className) {
    HWND window = WaitForWindow([&] { return FindWindowA(className, nullptr); }, kUiTimeoutMs);
    if (window) SendMessageA(window, WM_CLOSE, 0, 0);
    return window != nullptr;
  }

  // With the card seen the finish page offers the read-me and the user interface, and Finish
  // starts both; without it the page asks for a restart, which this life declines.
  void InstallTypical() {
    Start(full_);
    AcceptLicense();
    Next(WizardPage::Folder);
    Next(WizardPage::SetupType);
    ASSERT_TRUE(SelectListBoxRow(Page(), kSetupTypes, "Typical"));
    Next(WizardPage::Summary);
    Work(WizardPage::Installing, IsNineX() ? WizardPage::RestartFinish : WizardPage::Finish, "install",
         "I");
    if (IsNineX()) {
      ASSERT_TRUE(ClickButton(Page(), kRestartNo));
      ASSERT_TRUE(WaitUntil([&] { return ControlChecked(Page(), kRestartNo); }, kUiTimeoutMs));
      Finish();
      return;
    }
    EXPECT_EQ(ControlText(frame_, kNext), "Finish");
    EXPECT_FALSE(ControlEnabled(frame_, kBack));
    EXPECT_TRUE(ControlChecked(Page(), kViewReadMe));
    EXPECT_TRUE(ControlChecked(Page(), kStartProduct));
    Finish();
    EXPECT_TRUE(CloseStartedWindow("Z614Main")) << "the user interface starts";
    EXPECT_TRUE(CloseStartedWindow("Notepad")) << "the read-me is opened";
  }

  void ChooseFlow(int choice, WizardPage welcome) {
    Start(full_, WizardPage::MaintenanceChoice);
    Picture(frame_, "life-maintenance");
    if (choice) {
      ASSERT_TRUE(ClickButton(Page(), choice));
    }
    Next(welcome);
  }

  // The card goes for the work and comes back afterwards; the machine is as Modify left it.
  void Update(bool components, bool profiles, const char* step) {
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
    Work(WizardPage::Updating, WizardPage::UpdateFinish, step, IsNineX() ? "I" : "RI");
    Finish();
    ExpectFootprint(before_, "life-modified");
  }

  // From the welcome page on: the boxes as asked, then the work and Finish. The card goes and
  // is not asked for again.
  void Uninstall(bool keep, const char* step) {
    if (!keep) {
      ASSERT_TRUE(ClickButton(Page(), kKeepSettings));
      ASSERT_TRUE(ClickButton(Page(), kKeepSmsData));
    }
    Next(WizardPage::UninstallSummary);
    Work(WizardPage::Uninstalling, WizardPage::UninstallFinish, step, IsNineX() ? "" : "R");
    Finish();
  }

  MachineSnapshot before_;
};

TEST_F(MachineLife, InstallModifyUpdateUninstallAndAgain) {
  char windows[MAX_PATH] = "";
  GetWindowsDirectoryA(windows, sizeof windows);
  const std::string winIni = std::string(windows) + "\\win.ini";
  const std::string winIniBefore = ReadFileBytes(winIni);
  const std::string target = kTarget;

  InstallTypical();
  ExpectFootprint(before_, "typical");

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
  Work(WizardPage::Modifying, WizardPage::ModifyFinish, "modify", IsNineX() ? "I" : "RI");
  Finish();
  ExpectFootprint(before_, "life-modified");

  Update(true, false, "update of the components");
  const std::string removeCnf = ReadFileBytes(target + "\\Remove.cnf");
  Update(false, true, "update of the profiles");
  EXPECT_EQ(ReadFileBytes(target + "\\Remove.cnf"),
            removeCnf + "[AddFile]\r\n," + target + "\\*.z6?\r\n\r\n");
  Update(true, true, "update of both");

  // Uninstall keeping the settings and the short messages.
  WriteFileBytes(target + "\\Inbox.sms", "kept");
  ChooseFlow(kChoiceUninstall, WizardPage::UninstallWelcome);
  Uninstall(true, "uninstall keeping");
  ExpectFootprint(before_, "life-kept");

  // Installed again, then removed through the installed programs' entry, keeping nothing: the
  // folder that held the started uninstaller is gone, and so is the GPRS entry.
  InstallTypical();
  ExpectFootprint(before_, "life-installed-again");
  char command[MAX_PATH] = "";
  DWORD size = sizeof command;
  ASSERT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, kUninstallEntry, "UninstallString", RRF_RT_REG_SZ,
                         nullptr, command, &size),
            ERROR_SUCCESS);
  Start(command, WizardPage::UninstallWelcome);
  Uninstall(false, "uninstall");
  EXPECT_FALSE(FileExists(target));
  EXPECT_EQ(ReadFileBytes(std::string(windows) + "\\system32\\rasphone.pbk").find("[GPRS]"),
            std::string::npos);
  EXPECT_EQ(Unexplained(), std::vector<std::string>{});
  // What the product leaves by design goes, so the tests after this one find the prefix as new.
  WriteFileBytes(winIni, winIniBefore);
  DeleteFileA((std::string(windows) + "\\Xelta.txt").c_str());
  Simulate("remove");
}

}  // namespace
