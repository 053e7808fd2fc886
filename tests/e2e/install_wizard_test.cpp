// The Install wizard from Welcome to Summary, driven by the robot through the temporary copy
// of a plain start: the licence gate, the target folder, the setup types with their skips,
// the component rows and the smart card rule, the summary text, and the cancel question.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/scenario.h"
#include "tests/e2e/wizard_session.h"

namespace {

// Control and button ids of the frame and the pages.
constexpr int kNext = 1, kCancel = 2, kBack = 1077;
constexpr int kLicenseView = 1008, kFolderPath = 1010, kBrowse = 1007;
constexpr int kSetupTypes = 1019, kComponents = 1020, kDescription = 1018, kSummaryView = 1006;

const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kProductName[] = "Xelta Z614";
const char kDefaultFolder[] = "C:\\Program Files\\Xelta\\Xelta Z614";
const char kSmartCardNote[] =
    "To be able to select this component, you must have the Microsoft Smart Card Base "
    "Components 1.0 or later installed.";
const char kSmartCardText[] =
    "Select this component only if you want to use the smart card reader with other "
    "applications and special types of smart cards.";

std::string SetupFromEnvironment(const char* name) {
  const char* unixPath = std::getenv(name);
  if (!unixPath) return "";
  std::string path = std::string("Z:") + unixPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

bool IsNineX() {
  const std::string v = WineVersion();
  return v == "win98" || v == "winme";
}

std::string RunOnceValue() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunOnceKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
  char value[1024] = "";
  DWORD size = sizeof value - 1;
  if (RegQueryValueExA(key, kProductName, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) !=
      ERROR_SUCCESS) {
    value[0] = '\0';
  }
  RegCloseKey(key);
  return value;
}

void DeleteRunOnceValue() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunOnceKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
    RegDeleteValueA(key, kProductName);
    RegCloseKey(key);
  }
}

// The text shown by a text view: its edit child holds it.
std::string TextViewText(HWND page, int id) {
  return WindowTextOf(GetWindow(GetDlgItem(page, id), GW_CHILD));
}

std::string Summary(const char* type, const std::vector<const char*>& lines,
                    const std::string& folder = kDefaultFolder) {
  std::string text = std::string("Setup type:\r\n\t") + type + "\r\n\r\nDestination folder:\r\n\t" +
                     folder + "\r\n\r\nSelected components:\r\n";
  for (const char* line : lines) text += std::string(line) + "\r\n";
  return text;
}

// The system's smart card service as the NT family registers it, for the length of a test.
struct SmartCardService {
  SmartCardService() {
    manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!manager) return;
    SC_HANDLE service = CreateServiceA(manager, "SCardSvr", "Smart Card", SERVICE_ALL_ACCESS,
                                       SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                       SERVICE_ERROR_IGNORE, "C:\\windows\\system32\\scardsvr.exe",
                                       nullptr, nullptr, nullptr, nullptr, nullptr);
    created = service != nullptr;
    if (service) CloseServiceHandle(service);
  }
  ~SmartCardService() {
    if (!manager) return;
    if (SC_HANDLE service = OpenServiceA(manager, "SCardSvr", DELETE)) {
      DeleteService(service);
      CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
  }
  SC_HANDLE manager = nullptr;
  bool created = false;
};

class InstallWizard : public testing::Test {
 protected:
  void SetUp() override {
    if (!SetupSupportsThisSystem()) GTEST_SKIP() << "the gate refuses this system";
    full_ = SetupFromEnvironment("Z614_FULL_SETUP_EXE");
    bare_ = SetupFromEnvironment("Z614_BARE_SETUP_EXE");
    ASSERT_FALSE(full_.empty()) << "Z614_FULL_SETUP_EXE names the setup with every option";
    ASSERT_FALSE(bare_.empty()) << "Z614_BARE_SETUP_EXE names the setup without options";
    CreateDirectoryA("C:\\z614", nullptr);
    ClearTemporaryCopies();
    DeleteRunOnceValue();
  }

  // Starts the setup and waits for its Welcome page.
  void Start(const std::string& exe) {
    session_ = std::make_unique<WizardSession>(exe);
    frame_ = session_->WaitForFrame();
    ASSERT_NE(frame_, nullptr) << "the temporary copy shows the wizard";
    ASSERT_TRUE(WaitForPage(frame_, WizardPage::Welcome, kUiTimeoutMs));
  }

  void Next(WizardPage expected) {
    ASSERT_TRUE(PressFrameButton(frame_, kNext)) << "Next is enabled on " << PageName(CurrentPage(frame_));
    ASSERT_TRUE(WaitForPage(frame_, expected, kUiTimeoutMs))
        << "expected " << PageName(expected) << ", shown " << PageName(CurrentPage(frame_));
  }
  void Back(WizardPage expected) {
    ASSERT_TRUE(PressFrameButton(frame_, kBack)) << "Back is enabled";
    ASSERT_TRUE(WaitForPage(frame_, expected, kUiTimeoutMs))
        << "expected " << PageName(expected) << ", shown " << PageName(CurrentPage(frame_));
  }
  HWND Page() { return CurrentPageWindow(frame_); }

  // Pages down through the licence until "I Accept" is enabled.
  void AcceptLicense() {
    HWND edit = GetWindow(GetDlgItem(Page(), kLicenseView), GW_CHILD);
    ASSERT_TRUE(WaitUntil(
        [&] {
          if (ControlEnabled(frame_, kNext)) return true;
          PressKey(edit, VK_NEXT);
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

  std::string full_, bare_;
  std::unique_ptr<WizardSession> session_;
  HWND frame_ = nullptr;
};

TEST_F(InstallWizard, TypicalSkipsComponentsBothWaysAndCancelSchedulesTheCopysDeletion) {
  Start(full_);
  session_->Screenshot("01-welcome");
  EXPECT_FALSE(ControlEnabled(frame_, kBack)) << "the first page has no Back";
  EXPECT_TRUE(ControlEnabled(frame_, kNext));
  EXPECT_EQ(WindowText(frame_), kProductName);
  EXPECT_EQ(ControlText(frame_, kNext), "&Next >");
  EXPECT_EQ(ControlText(Page(), 1000), "Welcome to the Xelta Z614 Installation Wizard");

  Next(WizardPage::License);
  session_->Screenshot("02-license");
  EXPECT_EQ(ControlText(frame_, kNext), "I &Accept");
  EXPECT_EQ(ControlText(frame_, kCancel), "&Decline");
  EXPECT_FALSE(ControlEnabled(frame_, kNext)) << "the licence's end has not been seen";
  EXPECT_TRUE(ControlEnabled(frame_, kBack));
  EXPECT_NE(TextViewText(Page(), kLicenseView).find("\r\n"), std::string::npos);
  AcceptLicense();

  Next(WizardPage::Folder);
  session_->Screenshot("03-folder");
  EXPECT_EQ(ControlText(frame_, kNext), "&Next >");
  EXPECT_EQ(ControlText(frame_, kCancel), "Cancel");
  EXPECT_TRUE(IsDefaultButton(frame_, kNext));
  const std::string shown = ControlText(Page(), kFolderPath);
  EXPECT_TRUE(shown == kDefaultFolder || shown.find("...") != std::string::npos) << shown;

  Next(WizardPage::SetupType);
  session_->Screenshot("04-setup-type");
  EXPECT_EQ(ListBoxRows(GetDlgItem(Page(), kSetupTypes)),
            (std::vector<std::string>{"Administrator", "Custom", "Typical"}));
  EXPECT_EQ(ControlText(Page(), kDescription),
            "The application will be installed with the most common options. Recommended for "
            "most users.");

  Next(WizardPage::Summary);  // Typical skips the Components page
  session_->Screenshot("05-summary");
  EXPECT_EQ(TextViewText(Page(), kSummaryView),
            Summary("Typical", {"\tXelta Z614 drivers", "\tUser interface", "\tHelp files",
                                "\tSMS application"}));
  Back(WizardPage::SetupType);  // and skips it on the way back

  // No keeps everything as it was and schedules nothing.
  ASSERT_TRUE(PressFrameButton(frame_, kCancel));
  HWND box = session_->WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  const ShownMessage question = ReadMessageBox(box);
  EXPECT_EQ(question.caption, "Exit Xelta Z614 Installation Wizard");
  EXPECT_EQ(question.text,
            "Installation is not complete. If you exit the wizard now, the program will not be "
            "installed.\n\nYou may run the wizard later to complete the operation.\n\nAre you "
            "sure you want to quit?");
  PressDialogButton(box, IDNO);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, kUiTimeoutMs));
  EXPECT_EQ(CurrentPage(frame_), WizardPage::SetupType);
  EXPECT_EQ(RunOnceValue(), "");

  ASSERT_TRUE(session_->CancelAndConfirm());
  const std::vector<std::string> copies = TemporaryCopies();
  ASSERT_EQ(copies.size(), 1u);
  const std::string value = RunOnceValue();
  const std::string command = IsNineX() ? "command.com /c del " : "cmd.exe /c del ";
  EXPECT_EQ(value.rfind(command, 0), 0u) << value;
  EXPECT_NE(value.find(copies[0]), std::string::npos) << value;
}

TEST_F(InstallWizard, AdministratorAddsTheIndentedAdministratorPage) {
  Start(full_);
  ToSetupType();
  ChooseType("Administrator");
  EXPECT_EQ(ControlText(Page(), kDescription), "Recommended for system administrators only.");
  Next(WizardPage::Summary);
  EXPECT_EQ(TextViewText(Page(), kSummaryView),
            Summary("Administrator", {"\tXelta Z614 drivers", "\tUser interface",
                                      "\t     Administrator page", "\tHelp files",
                                      "\tSMS application"}));
  Back(WizardPage::SetupType);
}

TEST_F(InstallWizard, CustomWithEveryBoxClearedStillInstallsTheInterfaceAndMessaging) {
  Start(full_);
  ToSetupType();
  ChooseType("Custom");
  Next(WizardPage::Components);
  session_->Screenshot("06-components");
  HWND list = GetDlgItem(Page(), kComponents);
  ASSERT_EQ(ListViewRows(list), (std::vector<std::string>{"Xelta Z614 drivers", "Help files",
                                                          "Administrator page",
                                                          "PC/SC smart card driver"}));
  EXPECT_TRUE(ListViewChecked(list, 0));
  EXPECT_TRUE(ListViewChecked(list, 1));
  EXPECT_FALSE(ListViewChecked(list, 2));
  EXPECT_FALSE(ListViewChecked(list, 3));
  EXPECT_EQ(ControlText(Page(), kDescription),
            "This component must be installed, as the radio card cannot operate without these "
            "files.");
  SetListViewChecked(list, 0, false);
  SetListViewChecked(list, 1, false);
  Next(WizardPage::Summary);
  EXPECT_EQ(TextViewText(Page(), kSummaryView),
            Summary("Custom", {"\tUser interface", "\tSMS application"}));

  // Back from a Custom summary lands on the Components page with the choices kept.
  Back(WizardPage::Components);
  EXPECT_FALSE(ListViewChecked(list, 0));
  EXPECT_FALSE(ListViewChecked(list, 1));
  // Choosing the setup type again starts over from its set.
  Back(WizardPage::SetupType);
  Next(WizardPage::Components);
  EXPECT_TRUE(ListViewChecked(list, 0));
  EXPECT_TRUE(ListViewChecked(list, 1));
  SetListViewChecked(list, 2, true);
  Next(WizardPage::Summary);
  EXPECT_EQ(TextViewText(Page(), kSummaryView),
            Summary("Custom", {"\tXelta Z614 drivers", "\tUser interface",
                               "\t     Administrator page", "\tHelp files",
                               "\tSMS application"}));
}

TEST_F(InstallWizard, SmartCardDriverNeedsTheSmartCardService) {
  Start(full_);
  ToSetupType();
  ChooseType("Custom");
  Next(WizardPage::Components);
  HWND list = GetDlgItem(Page(), kComponents);
  const int row = ListViewRowOf(list, "PC/SC smart card driver");
  ASSERT_GE(row, 0);
  SelectListViewRow(list, row);
  EXPECT_EQ(ControlText(Page(), kDescription),
            std::string(kSmartCardText) + "\r\n" + kSmartCardNote);
  SetListViewChecked(list, row, true);
  EXPECT_TRUE(WaitUntil([&] { return !ListViewChecked(list, row); }, 2000))
      << "the check is undone while the service is missing";
  if (!IsNineX()) {
    // On the NT family the page asks the service manager each time it is shown.
    SmartCardService service;
    ASSERT_TRUE(service.created);
    Back(WizardPage::SetupType);
    Next(WizardPage::Components);
    SelectListViewRow(list, row);
    EXPECT_EQ(ControlText(Page(), kDescription), std::string(kSmartCardText) + "\r\n" + kSmartCardNote)
        << "the description was made with the page";
    SetListViewChecked(list, row, true);
    Sleep(300);
    EXPECT_TRUE(ListViewChecked(list, row));
    return;
  }

  // On the 9x family the page looks for the service every second.
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE,
                            "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices", 0,
                            nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const char data[] = "SCARDSVR.EXE";
  RegSetValueExA(key, "ScardSvr", 0, REG_SZ, reinterpret_cast<const BYTE*>(data), sizeof data);
  const DWORD registered = GetTickCount();
  EXPECT_TRUE(WaitUntil([&] { return ControlText(Page(), kDescription) == kSmartCardText; },
                        3000));
  EXPECT_LT(GetTickCount() - registered, 2500u) << "the page notices within about a second";
  SetListViewChecked(list, row, true);
  Sleep(300);
  EXPECT_TRUE(ListViewChecked(list, row));
  Next(WizardPage::Summary);
  EXPECT_NE(TextViewText(Page(), kSummaryView).find("\tPC/SC smart card driver\r\n"),
            std::string::npos);
  RegDeleteValueA(key, "ScardSvr");
  RegCloseKey(key);
}

TEST_F(InstallWizard, WithoutOptionsAndWithAnEmptyLicence) {
  // A licence beside the started file takes the place of the packed one.
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

TEST_F(InstallWizard, EnterInTheLicenceViewPressesTheDefaultButton) {
  Start(full_);
  Next(WizardPage::License);
  AcceptLicense();
  PressKey(GetWindow(GetDlgItem(Page(), kLicenseView), GW_CHILD), VK_RETURN);
  EXPECT_TRUE(WaitForPage(frame_, WizardPage::Folder, kUiTimeoutMs));
}

TEST_F(InstallWizard, HundredPageSwitchesKeepTheChoices) {
  Start(full_);
  ToSetupType();
  ChooseType("Custom");
  const DWORD start = GetTickCount();
  for (int i = 0; i < 50; ++i) {
    Back(WizardPage::Folder);
    Next(WizardPage::SetupType);
  }
  const DWORD elapsed = GetTickCount() - start;
  RecordProperty("hundred_switches_ms", static_cast<int>(elapsed));
  printf("100 Next/Back switches: %lu ms\n", static_cast<unsigned long>(elapsed));
  EXPECT_LT(elapsed, 60000u);
  EXPECT_EQ(ControlText(Page(), kDescription),
            "You can choose the components you want to install. Recommended for advanced users.");
}

// Browse: the folder browser is a dialog of the setup's own, above the wizard. Wine's browser
// has no edit field to type a name into, so the robot selects the folder in its tree as a
// click would and presses OK or Cancel.
::testing::AssertionResult ChooseInBrowser(WizardSession& session, HWND page,
                                           const std::string& folder, int button) {
  if (!PressPageButton(page, kBrowse)) return ::testing::AssertionFailure() << "Browse pressed";
  HWND browser = session.WaitForMessageBox();
  if (!browser) return ::testing::AssertionFailure() << "no folder browser";
  Sleep(300);  // the browser selects the start folder once it has initialised
  SendWithRemoteText(browser, BFFM_SETSELECTIONW, TRUE, folder);
  PressDialogButton(browser, button);
  if (!WaitUntil([&] { return !IsWindow(browser); }, kUiTimeoutMs)) {
    return ::testing::AssertionFailure() << "the browser stays open";
  }
  return ::testing::AssertionSuccess();
}

bool FolderIsEmpty(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return true;
  int entries = 0;
  do {
    if (lstrcmpA(found.cFileName, ".") != 0 && lstrcmpA(found.cFileName, "..") != 0) ++entries;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return entries == 0;
}

TEST_F(InstallWizard, BrowseTakesOnlyAWritableFolderAndLeavesNothingInIt) {
  const std::string chosen = "C:\\z614\\Chosen";
  CreateDirectoryA(chosen.c_str(), nullptr);
  Start(full_);
  Next(WizardPage::License);
  AcceptLicense();
  Next(WizardPage::Folder);

  ASSERT_TRUE(ChooseInBrowser(*session_, Page(), chosen, IDCANCEL));
  EXPECT_NE(ControlText(Page(), kFolderPath).find("Xelta Z614"), std::string::npos)
      << "a cancelled browse keeps the folder";
  EXPECT_TRUE(IsDefaultButton(frame_, kNext));

  // C:\unwritable is the test prefix's link to the host's /sys/kernel, which takes no file even
  // from root: the folder is refused without a word and the offered one stays.
  ASSERT_TRUE(ChooseInBrowser(*session_, Page(), "C:\\unwritable", IDOK));
  Sleep(500);
  EXPECT_NE(ControlText(Page(), kFolderPath).find("Xelta Z614"), std::string::npos)
      << "an unwritable folder is refused: " << ControlText(Page(), kFolderPath);
  EXPECT_EQ(session_->WaitForMessageBox(500), nullptr) << "the refusal shows no message";

  ASSERT_TRUE(ChooseInBrowser(*session_, Page(), chosen, IDOK));
  EXPECT_TRUE(WaitUntil([&] { return ControlText(Page(), kFolderPath) == chosen; }, kUiTimeoutMs))
      << ControlText(Page(), kFolderPath);
  EXPECT_TRUE(FolderIsEmpty(chosen)) << "the write probe is removed again";
  EXPECT_TRUE(IsDefaultButton(frame_, kNext));
  EXPECT_FALSE(FileExists(kDefaultFolder)) << "the offered folder is not made either";

  Next(WizardPage::SetupType);
  Next(WizardPage::Summary);
  EXPECT_EQ(TextViewText(Page(), kSummaryView),
            Summary("Typical", {"\tXelta Z614 drivers", "\tUser interface", "\tHelp files",
                                "\tSMS application"},
                    chosen));
}

TEST_F(InstallWizard, CancelOnEveryPageAsksAndNoChangesNothing) {
  Start(full_);
  const WizardPage pages[] = {WizardPage::Welcome, WizardPage::License, WizardPage::Folder,
                              WizardPage::SetupType, WizardPage::Components,
                              WizardPage::Summary};
  for (WizardPage page : pages) {
    SCOPED_TRACE(PageName(page));
    if (page == WizardPage::License) {
      Next(page);
      AcceptLicense();
    } else if (page == WizardPage::Components) {
      ChooseType("Custom");
      Next(page);
    } else if (page != WizardPage::Welcome) {
      Next(page);
    }
    const std::string next = ControlText(frame_, kNext);
    const bool nextEnabled = ControlEnabled(frame_, kNext);
    ASSERT_TRUE(PressFrameButton(frame_, kCancel));
    HWND box = session_->WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ReadMessageBox(box).caption, "Exit Xelta Z614 Installation Wizard");
    PressDialogButton(box, IDNO);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, kUiTimeoutMs));
    EXPECT_EQ(CurrentPage(frame_), page);
    EXPECT_EQ(ControlText(frame_, kNext), next);
    EXPECT_EQ(ControlEnabled(frame_, kNext), nextEnabled);
    EXPECT_EQ(RunOnceValue(), "");
  }
  ASSERT_TRUE(session_->CancelAndConfirm());
  EXPECT_NE(RunOnceValue(), "");
}

}  // namespace
