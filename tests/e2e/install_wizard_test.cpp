// The Install wizard from Welcome to Summary, driven by the robot through the temporary copy
// of a plain start: the licence gate, the target folder, the setup types with their skips,
// the component rows and the smart card rule, the summary text, and the cancel question.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <cstdio>
#include <memory>
#include <set>

#include "tests/e2e/scenario.h"

namespace {

// Control and button ids of the frame and the pages.
constexpr int kNext = 1, kCancel = 2, kBack = 1077;
constexpr int kLicenseView = 1008, kFolderPath = 1010, kBrowse = 1007;
constexpr int kSetupTypes = 1019, kComponents = 1020, kDescription = 1018, kSummaryView = 1006;
constexpr int kSmartCardRow = 3;

const char kDefaultFolder[] = "C:\\Program Files\\Xelta\\Xelta Z614";
const char kCustomText[] =
    "You can choose the components you want to install. Recommended for advanced users.";
const char kSmartCardText[] =
    "Select this component only if you want to use the smart card reader with other "
    "applications and special types of smart cards.";
const char kRunServicesKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
const std::vector<const char*> kTypicalLines = {"\tXelta Z614 drivers", "\tUser interface",
                                                "\tHelp files", "\tSMS application"};
const std::vector<const char*> kAllLines = {"\tXelta Z614 drivers", "\tUser interface",
                                            "\t     Administrator page", "\tHelp files",
                                            "\tSMS application"};

std::string Summary(const char* type, const std::vector<const char*>& lines,
                    const std::string& folder = kDefaultFolder) {
  std::string text = std::string("Setup type:\r\n\t") + type + "\r\n\r\nDestination folder:\r\n\t" +
                     folder + "\r\n\r\nSelected components:\r\n";
  for (const char* line : lines) text += std::string(line) + "\r\n";
  return text;
}

// The system's smart card service for the length of a test, present the way each family looks
// for it: a RunServices entry on the 9x family, a service of the service manager on NT.
struct SmartCardService {
  SmartCardService() {
    if (IsNineX()) {
      RegSetKeyValueA(HKEY_LOCAL_MACHINE, kRunServicesKey, "ScardSvr", REG_SZ, "SCARDSVR.EXE", 13);
      return;
    }
    manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    service = CreateServiceA(manager, "SCardSvr", "Smart Card", SERVICE_ALL_ACCESS,
                             SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                             SERVICE_ERROR_IGNORE, "C:\\windows\\system32\\scardsvr.exe",
                             nullptr, nullptr, nullptr, nullptr, nullptr);
  }
  ~SmartCardService() {
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kRunServicesKey, "ScardSvr");
    if (service) DeleteService(service);
    if (service) CloseServiceHandle(service);
    if (manager) CloseServiceHandle(manager);
  }
  SC_HANDLE manager = nullptr, service = nullptr;
};

class InstallWizard : public testing::Test {
 protected:
  void SetUp() override {
    if (!SetupSupportsThisSystem()) GTEST_SKIP() << "the gate refuses this system";
    ASSERT_FALSE(full_.empty() || bare_.empty())
        << "Z614_FULL_SETUP_EXE and Z614_BARE_SETUP_EXE name the setups with and without options";
    PrepareMachine();
  }

  // Starts the setup and waits for its Welcome page.
  void Start(const std::string& exe) {
    session_ = std::make_unique<WizardSession>(exe);
    frame_ = session_->WaitForFrame();
    ASSERT_NE(frame_, nullptr) << "the temporary copy shows the wizard";
    ASSERT_TRUE(WaitForPage(frame_, WizardPage::Welcome, kUiTimeoutMs));
  }

  // Presses Next or Back and waits for the expected page; after a fatal failure, does nothing.
  void Go(int button, WizardPage expected) {
    if (HasFatalFailure()) return;
    ASSERT_TRUE(PressButton(frame_, button)) << "on " << PageName(CurrentPage(frame_));
    ASSERT_TRUE(WaitForPage(frame_, expected, kUiTimeoutMs))
        << "expected " << PageName(expected) << ", shown " << PageName(CurrentPage(frame_));
  }
  void Next(WizardPage expected) { Go(kNext, expected); }
  void Back(WizardPage expected) { Go(kBack, expected); }

  HWND Page() { return CurrentPageWindow(frame_); }
  HWND LicenseEdit() { return GetWindow(GetDlgItem(Page(), kLicenseView), GW_CHILD); }
  std::string Description() { return ControlText(Page(), kDescription); }
  std::string SummaryText() {
    return WindowTextOf(GetWindow(GetDlgItem(Page(), kSummaryView), GW_CHILD));
  }

  // Pages down through the licence until "I Accept" is enabled.
  void AcceptLicense() {
    ASSERT_TRUE(WaitUntil(
        [&] {
          if (ControlEnabled(frame_, kNext)) return true;
          PressKey(LicenseEdit(), VK_NEXT);
          Sleep(100);
          return false;
        },
        kUiTimeoutMs));
  }

  void ToSetupType() {
    Next(WizardPage::License);
    AcceptLicense();
    Next(WizardPage::Folder);
    Next(WizardPage::SetupType);
  }

  void ChooseType(const char* type) {
    ASSERT_TRUE(SelectListBoxRow(Page(), kSetupTypes, type)) << type;
  }

  // The first time a page is shown: its picture, then Cancel, whose question's No changes
  // nothing on the page and schedules nothing.
  void Visit() {
    const WizardPage page = CurrentPage(frame_);
    if (HasFatalFailure() || !visited_.insert(page).second) return;
    SCOPED_TRACE(PageName(page));
    session_->Screenshot(std::to_string(visited_.size()) + "-" + PageName(page));
    const std::string next = ControlText(frame_, kNext);
    const bool nextEnabled = ControlEnabled(frame_, kNext);
    ASSERT_TRUE(PressButton(frame_, kCancel));
    HWND box = session_->WaitForMessageBox();
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
    HWND browser = session_->WaitForMessageBox();
    ASSERT_NE(browser, nullptr) << "the folder browser is shown";
    Sleep(300);  // the browser selects its start folder once it has initialised
    SendWithRemoteText(browser, BFFM_SETSELECTIONW, TRUE, folder);
    ASSERT_TRUE(PressButton(browser, button));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(browser); }, kUiTimeoutMs));
  }

  const std::string full_ = SetupFromEnvironment("Z614_FULL_SETUP_EXE");
  const std::string bare_ = SetupFromEnvironment("Z614_BARE_SETUP_EXE");
  std::unique_ptr<WizardSession> session_;
  HWND frame_ = nullptr;
  std::set<WizardPage> visited_;
};

// Every page and every setup type of the full setup in one run, ended with Cancel and Yes.
TEST_F(InstallWizard, EveryPageAndSetupTypeThenCancel) {
  Start(full_);
  EXPECT_EQ(WindowTextOf(frame_), kProductName);
  EXPECT_FALSE(ControlEnabled(frame_, kBack)) << "the first page has no Back";
  Visit();

  Next(WizardPage::License);
  EXPECT_EQ(ControlText(frame_, kNext), "I &Accept");
  EXPECT_EQ(ControlText(frame_, kCancel), "&Decline");
  EXPECT_FALSE(ControlEnabled(frame_, kNext)) << "the licence's end has not been seen";
  EXPECT_NE(WindowTextOf(LicenseEdit()).find("\r\n"), std::string::npos);
  Visit();
  AcceptLicense();
  PressKey(LicenseEdit(), VK_RETURN);  // Enter in the text view presses the default button
  ASSERT_TRUE(WaitForPage(frame_, WizardPage::Folder, kUiTimeoutMs));

  EXPECT_EQ(ControlText(frame_, kNext), "&Next >");
  EXPECT_EQ(ControlText(frame_, kCancel), "Cancel");
  const std::string shown = ControlText(Page(), kFolderPath);
  EXPECT_TRUE(shown == kDefaultFolder || shown.find("...") != std::string::npos) << shown;
  Visit();

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
    std::vector<const char*> summary;
  };
  const Case cases[] = {
      {"Typical",
       "The application will be installed with the most common options. Recommended for most "
       "users.",
       {}, kTypicalLines},
      {"Administrator", "Recommended for system administrators only.", {}, kAllLines},
      {"Custom", kCustomText, {false, false, false, false},
       {"\tUser interface", "\tSMS application"}},
      {"Custom", kCustomText, {true, true, true, false}, kAllLines},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    ChooseType(c.type);
    EXPECT_EQ(Description(), c.description);
    HWND list = nullptr;
    if (!c.checks.empty()) {
      Next(WizardPage::Components);
      list = GetDlgItem(Page(), kComponents);
      EXPECT_EQ(ListViewRows(list), (std::vector<std::string>{"Xelta Z614 drivers", "Help files",
                                                               "Administrator page",
                                                               "PC/SC smart card driver"}));
      EXPECT_EQ(Description(),
                "This component must be installed, as the radio card cannot operate without "
                "these files.");
      Visit();
      for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(ListViewChecked(list, row), row < 2) << "the set of Custom, row " << row;
        SetListViewChecked(list, row, c.checks[row]);
      }
    }
    Next(WizardPage::Summary);
    EXPECT_EQ(SummaryText(), Summary(c.type, c.summary));
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
  RecordProperty("hundred_switches_ms", static_cast<int>(elapsed));
  printf("100 Next/Back switches: %lu ms\n", static_cast<unsigned long>(elapsed));
  EXPECT_LT(elapsed, 60000u);
  EXPECT_EQ(Description(), kCustomText) << "the chosen type stays";

  // Yes ends the wizard and schedules the deletion of its temporary copy at the next logon.
  ASSERT_TRUE(session_->CancelAndConfirm());
  const std::vector<std::string> copies = TemporaryCopies();
  ASSERT_EQ(copies.size(), 1u);
  const std::string value = RunOnceValue();
  EXPECT_EQ(value.rfind(IsNineX() ? "command.com /c del " : "cmd.exe /c del ", 0), 0u) << value;
  EXPECT_NE(value.find(copies[0]), std::string::npos) << value;
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
  ChooseType("Custom");
  Next(WizardPage::Components);
  EXPECT_EQ(ListViewRows(GetDlgItem(Page(), kComponents)),
            (std::vector<std::string>{"Xelta Z614 drivers", "Help files"}));
}

// A check of the smart card row is undone at once while the service is missing. The NT family
// asks the service manager each time the page is shown; the 9x family looks every second.
TEST_F(InstallWizard, SmartCardDriverNeedsTheSmartCardService) {
  Start(full_);
  ToSetupType();
  ChooseType("Custom");
  Next(WizardPage::Components);
  HWND list = GetDlgItem(Page(), kComponents);
  SelectListViewRow(list, kSmartCardRow);
  EXPECT_EQ(Description(), std::string(kSmartCardText) +
                               "\r\nTo be able to select this component, you must have the "
                               "Microsoft Smart Card Base Components 1.0 or later installed.");
  SetListViewChecked(list, kSmartCardRow, true);
  EXPECT_TRUE(WaitUntil([&] { return !ListViewChecked(list, kSmartCardRow); }, 2000));

  SmartCardService service;
  if (IsNineX()) {
    const DWORD registered = GetTickCount();
    EXPECT_TRUE(WaitUntil([&] { return Description() == kSmartCardText; }, 3000));
    EXPECT_LT(GetTickCount() - registered, 2500u) << "the page notices within about a second";
  } else {
    ASSERT_NE(service.service, nullptr);
    Back(WizardPage::SetupType);
    Next(WizardPage::Components);
  }
  SetListViewChecked(list, kSmartCardRow, true);
  Sleep(300);
  EXPECT_TRUE(ListViewChecked(list, kSmartCardRow));
  Next(WizardPage::Summary);
  EXPECT_NE(SummaryText().find("\tPC/SC smart card driver\r\n"), std::string::npos);
}

TEST_F(InstallWizard, BrowseTakesOnlyAWritableFolderAndLeavesNothingInIt) {
  const std::string chosen = "C:\\z614\\Chosen";
  CreateDirectoryA(chosen.c_str(), nullptr);
  Start(full_);
  Next(WizardPage::License);
  AcceptLicense();
  Next(WizardPage::Folder);

  Browse(chosen, IDCANCEL);
  EXPECT_NE(ControlText(Page(), kFolderPath).find("Xelta Z614"), std::string::npos)
      << "a cancelled browse keeps the folder";
  // C:\unwritable is the test prefix's link to the host's /sys/kernel, which takes no file even
  // from root: the folder is refused without a word and the offered one stays.
  Browse("C:\\unwritable", IDOK);
  EXPECT_EQ(session_->WaitForMessageBox(1000), nullptr) << "the refusal shows no message";
  EXPECT_NE(ControlText(Page(), kFolderPath).find("Xelta Z614"), std::string::npos)
      << "an unwritable folder is refused: " << ControlText(Page(), kFolderPath);

  Browse(chosen, IDOK);
  EXPECT_TRUE(WaitUntil([&] { return ControlText(Page(), kFolderPath) == chosen; }, kUiTimeoutMs))
      << ControlText(Page(), kFolderPath);
  EXPECT_TRUE(IsDefaultButton(frame_, kNext));
  EXPECT_FALSE(FileExists(kDefaultFolder)) << "the offered folder is not made either";
  Next(WizardPage::SetupType);
  Next(WizardPage::Summary);
  EXPECT_EQ(SummaryText(), Summary("Typical", kTypicalLines, chosen));
  EXPECT_TRUE(RemoveDirectoryA(chosen.c_str())) << "the write probe is removed again";
}

}  // namespace
