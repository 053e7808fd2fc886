// The Install wizard from Welcome to Summary, driven by the robot through the temporary copy
// of a plain start: the licence gate, the target folder, the setup types with their skips,
// the component rows and the smart card rule, the summary text, and the cancel question.
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <set>

#include "tests/e2e/wizard_scenario.h"

namespace {

// Controls of the pages this walk reads.
constexpr int kFolderPath = 1010, kBrowse = 1007, kDescription = 1018, kSummaryView = 1006;
constexpr int kSmartCardRow = 3;

const char kDefaultFolder[] = "C:\\Program Files\\Xelta\\Xelta Z614";
const char kCustomText[] =
    "You can choose the components you want to install. Recommended for advanced users.";
const char kSmartCardText[] =
    "Select this component only if you want to use the smart card reader with other "
    "applications and special types of smart cards.";
const char kRunServicesKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
const char kTypicalLines[] =
    "\tXelta Z614 drivers\r\n\tUser interface\r\n\tHelp files\r\n\tSMS application\r\n";
const char kAllLines[] =
    "\tXelta Z614 drivers\r\n\tUser interface\r\n\t     Administrator page\r\n\tHelp files\r\n"
    "\tSMS application\r\n";

class InstallWizard : public WizardScenario {
 protected:
  void SetUp() override {
    WizardScenario::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_FALSE(bare_.empty()) << "Z614_BARE_SETUP_EXE names the setup without options";
  }

  std::string Description() { return ControlText(Page(), kDescription); }
  std::string SummaryText() {
    return WindowTextOf(GetWindow(GetDlgItem(Page(), kSummaryView), GW_CHILD));
  }

  // The first time a page is shown: its picture, then Cancel, whose question's No changes
  // nothing on the page and schedules nothing.
  void Visit() {
    const WizardPage page = CurrentPage(frame_);
    if (HasFatalFailure() || !visited_.insert(page).second) return;
    SCOPED_TRACE(PageName(page));
    Picture(frame_, std::to_string(visited_.size()) + "-" + PageName(page));
    const std::string next = ControlText(frame_, kNext);
    const bool nextEnabled = ControlEnabled(frame_, kNext);
    ASSERT_TRUE(PressButton(frame_, kCancel));
    HWND box = WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    const ShownMessage question = ReadMessageBox(box);
    EXPECT_EQ(question.caption, "Exit Xelta Z614 Installation Wizard");
    EXPECT_EQ(question.text,
              "Installation is not complete. If you exit the wizard now, the program will not be "
              "installed.\n\nYou may run the wizard later to complete the operation.\n\nAre you "
              "sure you want to quit?");
    ASSERT_TRUE(PressButton(box, IDNO));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, kUiTimeoutMs));
    EXPECT_EQ(CurrentPage(frame_), page);
    EXPECT_EQ(ControlText(frame_, kNext), next);
    EXPECT_EQ(ControlEnabled(frame_, kNext), nextEnabled);
    EXPECT_EQ(RunOnceValue(), "");
  }

  // The folder browser is a dialog of the setup's own. Wine's has no edit field to type a name
  // into, so the robot selects the folder in its tree as a click would.
  void Browse(const std::string& folder, int button) {
    ASSERT_TRUE(PressButton(Page(), kBrowse));
    HWND browser = WaitForMessageBox();
    ASSERT_NE(browser, nullptr) << "the folder browser is shown";
    Sleep(300);  // the browser selects its start folder once it has initialised
    SendWithRemoteText(browser, BFFM_SETSELECTIONW, TRUE, folder);
    ASSERT_TRUE(PressButton(browser, button));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(browser); }, kUiTimeoutMs));
  }

  const std::string bare_ = PathFromEnvironment("Z614_BARE_SETUP_EXE");
  std::set<WizardPage> visited_;  // the pages pictured and cancelled on
};

// One run of the full setup over every page and choice, ended with Cancel and Yes.
TEST_F(InstallWizard, EveryPageAndChoiceOfTheFullSetup) {
  const std::string chosen = "C:\\z614\\Chosen";
  CreateDirectoryA(chosen.c_str(), nullptr);
  Start(full_);
  EXPECT_FALSE(ControlEnabled(frame_, kBack)) << "the first page has no Back";
  Visit();

  Next(WizardPage::License);
  EXPECT_EQ(ControlText(frame_, kNext), "I &Accept");
  EXPECT_EQ(ControlText(frame_, kCancel), "&Decline");
  EXPECT_FALSE(ControlEnabled(frame_, kNext)) << "the licence's end has not been seen";
  EXPECT_NE(WindowTextOf(LicenseEdit()).find("\r\n"), std::string::npos);
  Visit();
  EXPECT_TRUE(WaitUntil(  // Page Down to the licence's end enables "I Accept"
      [&] {
        PressKey(LicenseEdit(), VK_NEXT);
        Sleep(100);
        return ControlEnabled(frame_, kNext);
      },
      kUiTimeoutMs));
  PressKey(LicenseEdit(), VK_RETURN);  // Enter in the text view presses the default button
  ASSERT_TRUE(WaitForPage(frame_, WizardPage::Folder, kUiTimeoutMs));

  EXPECT_EQ(ControlText(frame_, kNext), "&Next >");
  EXPECT_EQ(ControlText(frame_, kCancel), "Cancel");
  const std::string shown = ControlText(Page(), kFolderPath);
  EXPECT_TRUE(shown == kDefaultFolder || shown.find("...") != std::string::npos) << shown;
  Visit();
  Browse(chosen, IDCANCEL);
  EXPECT_EQ(ControlText(Page(), kFolderPath), shown) << "a cancelled browse keeps the folder";
  // C:\unwritable is the test prefix's link to the host's /sys/kernel, which takes no file even
  // from root: the folder is refused without a word and the offered one stays.
  Browse("C:\\unwritable", IDOK);
  EXPECT_EQ(WaitForMessageBox(1000), nullptr) << "the refusal shows no message";
  EXPECT_EQ(ControlText(Page(), kFolderPath), shown) << "an unwritable folder is refused";
  Browse(chosen, IDOK);
  EXPECT_TRUE(WaitUntil([&] { return ControlText(Page(), kFolderPath) == chosen; }, kUiTimeoutMs));
  EXPECT_TRUE(IsDefaultButton(frame_, kNext));
  EXPECT_FALSE(FileExists(kDefaultFolder)) << "the offered folder is not made";

  Next(WizardPage::SetupType);
  EXPECT_EQ(ListBoxRows(GetDlgItem(Page(), kSetupTypes)),
            (std::vector<std::string>{"Administrator", "Custom", "Typical"}));
  Visit();

  // Typical and Administrator skip Components both ways. Custom shows its set each time it is
  // chosen again, and Back from its summary keeps what was changed.
  struct Case {
    const char* type;
    const char* description;
    std::vector<bool> checks;  // set on the Components page; none: the page is skipped
    const char* components;  // as the summary lists them
  };
  const Case cases[] = {
      {"Typical",
       "The application will be installed with the most common options. Recommended for most "
       "users.",
       {}, kTypicalLines},
      {"Administrator", "Recommended for system administrators only.", {}, kAllLines},
      {"Custom", kCustomText, {false, false, false, false},
       "\tUser interface\r\n\tSMS application\r\n"},
      {"Custom", kCustomText, {true, true, true, false}, kAllLines},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    ASSERT_TRUE(SelectListBoxRow(Page(), kSetupTypes, c.type));
    EXPECT_EQ(Description(), c.description);
    HWND list = nullptr;
    if (!c.checks.empty()) {
      Next(WizardPage::Components);
      list = GetDlgItem(Page(), kComponents);
      EXPECT_EQ(ListViewRows(list), (std::vector<std::string>{"Xelta Z614 drivers", "Help files",
                                                               "Administrator page",
                                                               "PC/SC smart card driver"}));
      Visit();
      for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(ListViewChecked(list, row), row < 2) << "the set of Custom, row " << row;
        SetListViewChecked(list, row, c.checks[row]);
      }
    }
    Next(WizardPage::Summary);
    EXPECT_EQ(SummaryText(), std::string("Setup type:\r\n\t") + c.type +
                                 "\r\n\r\nDestination folder:\r\n\t" + chosen +
                                 "\r\n\r\nSelected components:\r\n" + c.components);
    Visit();
    if (list) {
      Back(WizardPage::Components);
      for (int row = 0; row < 4; ++row) EXPECT_EQ(ListViewChecked(list, row), c.checks[row]);
    }
    Back(WizardPage::SetupType);
  }

  const DWORD start = GetTickCount();
  for (int i = 0; i < 50; ++i) {
    Back(WizardPage::Folder);
    Next(WizardPage::SetupType);
  }
  const DWORD elapsed = GetTickCount() - start;
  printf("100 Next/Back switches: %lu ms\n", static_cast<unsigned long>(elapsed));
  EXPECT_LT(elapsed, 60000u);
  EXPECT_EQ(Description(), kCustomText) << "the chosen type stays";

  // A check of the smart card row is undone at once while the system's smart card service is
  // missing. The NT family asks the service manager each time the page is shown; the 9x family
  // looks for the service's RunServices entry every second.
  Next(WizardPage::Components);
  HWND list = GetDlgItem(Page(), kComponents);
  SelectListViewRow(list, kSmartCardRow);
  EXPECT_EQ(Description(), std::string(kSmartCardText) +
                               "\r\nTo be able to select this component, you must have the "
                               "Microsoft Smart Card Base Components 1.0 or later installed.");
  SetListViewChecked(list, kSmartCardRow, true);
  EXPECT_TRUE(WaitUntil([&] { return !ListViewChecked(list, kSmartCardRow); }, 2000));
  SC_HANDLE service = nullptr;
  if (IsNineX()) {
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, kRunServicesKey, "ScardSvr", REG_SZ, "SCARDSVR.EXE", 13);
    const DWORD registered = GetTickCount();
    EXPECT_TRUE(WaitUntil([&] { return Description() == kSmartCardText; }, 3000));
    EXPECT_LT(GetTickCount() - registered, 2500u) << "the page notices within about a second";
  } else {
    service = CreateServiceA(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS), "SCardSvr",
                             "Smart Card", SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                             SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                             "C:\\windows\\system32\\scardsvr.exe", nullptr, nullptr, nullptr,
                             nullptr, nullptr);
    EXPECT_NE(service, nullptr);
    Back(WizardPage::SetupType);
    Next(WizardPage::Components);
  }
  SetListViewChecked(list, kSmartCardRow, true);
  Sleep(300);
  EXPECT_TRUE(ListViewChecked(list, kSmartCardRow));
  Next(WizardPage::Summary);
  EXPECT_NE(SummaryText().find("\tPC/SC smart card driver\r\n"), std::string::npos);
  RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kRunServicesKey, "ScardSvr");
  if (service) DeleteService(service);

  // Yes ends the wizard and schedules the deletion of its temporary copy at the next logon.
  ASSERT_TRUE(CancelAndConfirm());
  const std::vector<std::string> copies = TemporaryCopies();
  ASSERT_EQ(copies.size(), 1u);
  const std::string value = RunOnceValue();
  EXPECT_EQ(value.rfind(IsNineX() ? "command.com /c del " : "cmd.exe /c del ", 0), 0u) << value;
  EXPECT_NE(value.find(copies[0]), std::string::npos) << value;
  EXPECT_TRUE(RemoveDirectoryA(chosen.c_str())) << "the folder's write probes are removed again";
}

// Without "mod_adm.dll" and "*Z?14SC.*" in the payload neither Administrator nor the smart card
// row is offered; an empty licence beside the started file takes the packed one's place.
TEST_F(InstallWizard, BareSetupWithAnEmptyLicence) {
  CreateDirectoryA("C:\\z614\\bare", nullptr);
  const std::string started = "C:\\z614\\bare\\Z614Setup.exe";
  ASSERT_TRUE(CopyFileA(bare_.c_str(), started.c_str(), FALSE));
  WriteFileBytes("C:\\z614\\bare\\License.txt", "");
  Start(started);
  Next(WizardPage::License);
  EXPECT_TRUE(WaitUntil([&] { return ControlEnabled(frame_, kNext); }, 3000))
      << "an empty licence has been read to its end at once";
  Next(WizardPage::Folder);
  Next(WizardPage::SetupType);
  EXPECT_EQ(ListBoxRows(GetDlgItem(Page(), kSetupTypes)),
            (std::vector<std::string>{"Custom", "Typical"}));
  ASSERT_TRUE(SelectListBoxRow(Page(), kSetupTypes, "Custom"));
  Next(WizardPage::Components);
  EXPECT_EQ(ListViewRows(GetDlgItem(Page(), kComponents)),
            (std::vector<std::string>{"Xelta Z614 drivers", "Help files"}));
}

}  // namespace
