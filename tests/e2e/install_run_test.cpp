// The Install wizard installs: the packed demo started as a user starts it, walked from Welcome
// to its finish page, with the card simulator inserting the card while the insert-card dialog
// waits (or never). The machine's footprint after Finish is compared with what the demo script
// makes for the setup type and the system; any other change is a fault.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <regex>

#include "core/crc32.h"
#include "tests/e2e/footprint.h"
#include "tests/e2e/wizard_scenario.h"
#include "tests/robot/call_watch.h"

namespace {

constexpr int kStatusText = 1027, kViewReadMe = 1032, kStartProduct = 1033, kRestartNo = 1029;
constexpr int kCardDialogCancel = 1;
constexpr char kTargetFolder[] = "C:\\Program Files\\Xelta\\Xelta Z614";
constexpr char kDiagnosticsKey[] = "Software\\Xelta\\Z614\\Diagnostics";
constexpr char kUserInterfaceClass[] = "Z614Main";

struct InstallCase {
  const char* name;      // names the footprint file and the pictures
  const char* type;      // as the Setup type page lists it
  std::vector<bool> checks;  // the Components page's rows for Custom
  bool insertCard;       // the simulator inserts the card while the dialog waits
};

// What a run leaves that depends on the moment or the build rather than on the setup: the
// temporary copy's name, and the checksums of the built files (checked against the files
// themselves by ExpectDiagnosticsMatchFiles).
std::string Normalized(const std::string& line) {
  static const std::regex copyName("Del[0-9A-Fa-f]+\\.tmp");
  static const std::regex checksum("(\\\\Diagnostics\\|.* = REG_SZ:)[0-9A-F]{8}$");
  return std::regex_replace(std::regex_replace(line, copyName, "Del*.tmp"), checksum, "$1<CRC-32>");
}

// Runs a test program of the build tree (the card simulator) and waits for its end.
bool RunTool(const std::string& commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return false;
  }
  WaitForSingleObject(process.hProcess, kUiTimeoutMs);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code == 0;
}

class InstallRun : public WizardScenario {
 protected:
  void SetUp() override {
    WizardScenario::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_FALSE(simulator_.empty()) << "Z614_CARD_SIMULATOR names the card simulator";
    RunTool("\"" + simulator_ + "\" remove");
    before_ = TakeSnapshot();
  }

  // Welcome to Summary with the case's choices, then Next: the install runs.
  void WalkToInstalling(const InstallCase& c) {
    Start(full_);
    AcceptLicense();
    Next(WizardPage::Folder);
    Next(WizardPage::SetupType);
    ASSERT_TRUE(SelectListBoxRow(Page(), kSetupTypes, c.type));
    if (!c.checks.empty()) {
      Next(WizardPage::Components);
      HWND list = GetDlgItem(Page(), kComponents);
      for (size_t row = 0; row < c.checks.size(); ++row) {
        SetListViewChecked(list, static_cast<int>(row), c.checks[row]);
      }
    }
    Next(WizardPage::Summary);
    installStart_ = GetTickCount();
    Next(WizardPage::Installing);
  }

  // The insert-card dialog that the start of the card stack opens over the Installing page:
  // either the simulator brings the card and the dialog closes by itself, or Cancel ends it.
  void AnswerInsertCard(const InstallCase& c) {
    HWND dialog = WaitForMessageBox(30000);
    dialogShown_ = GetTickCount();
    ASSERT_NE(dialog, nullptr) << "the insert-card dialog is shown";
    EXPECT_EQ(WindowTextOf(dialog), "Insert Xelta Z614");
    Picture(frame_, std::string(c.name) + "-installing");
    Picture(dialog, std::string(c.name) + "-insert-card");
    if (c.insertCard) {
      ASSERT_TRUE(RunTool("\"" + simulator_ + "\" insert"));
      const DWORD inserted = cardInserted_ = GetTickCount();
      EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000)) << "the card is seen";
      EXPECT_LT(GetTickCount() - inserted, 2500u) << "within about two seconds";
    } else {
      ASSERT_TRUE(PressButton(dialog, kCardDialogCancel));
    }
  }

  // The lines of the footprint that the case's file lists, against what the run changed.
  void ExpectFootprint(const InstallCase& c) {
    std::vector<std::string> actual;
    for (const std::string& line : Difference(before_, TakeSnapshot())) {
      actual.push_back(Normalized(line));
    }
    const std::string name = WineVersion() + "-" + c.name + ".txt";
    const std::string reviewed = PathFromEnvironment("Z614_FOOTPRINT_DIR") + "\\" + name;
    std::vector<std::string> expected;
    std::ifstream file(reviewed);
    for (std::string line; std::getline(file, line);) {
      if (!line.empty() && line[0] != '#') expected.push_back(line);
    }
    // What this run made, for review beside the build's pictures when it differs.
    std::ofstream(PathFromEnvironment("Z614_SCREENSHOT_DIR") + "\\footprint-" + name) << [&] {
      std::string all;
      for (const std::string& line : actual) all += line + "\n";
      return all;
    }();
    EXPECT_EQ(actual, expected) << "the footprint of " << name;
  }

  // Every file the Diagnostics key names has the checksum recorded for it.
  void ExpectDiagnosticsMatchFiles() {
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDiagnosticsKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    char path[MAX_PATH];
    char crc[16];
    int checked = 0;
    for (DWORD i = 0;; ++i) {
      DWORD pathSize = sizeof path, crcSize = sizeof crc - 1;
      if (RegEnumValueA(key, i, path, &pathSize, nullptr, nullptr, reinterpret_cast<BYTE*>(crc),
                        &crcSize) != ERROR_SUCCESS) {
        break;
      }
      crc[crcSize] = '\0';
      const std::string bytes = ReadFileBytes(path);
      char actual[16];
      snprintf(actual, sizeof actual, "%08X", Crc32(bytes.data(), bytes.size()));
      EXPECT_STREQ(crc, actual) << path;
      ++checked;
    }
    RegCloseKey(key);
    EXPECT_GT(checked, 10);
  }

  // The installed copies of payload entries hold the payload's bytes.
  void ExpectPayloadBytes(const std::vector<std::string>& names) {
    const std::string payload = PathFromEnvironment("Z614_PAYLOAD_DIR");
    for (const std::string& name : names) {
      EXPECT_TRUE(ReadFileBytes(std::string(kTargetFolder) + "\\" + name) ==
                  ReadFileBytes(payload + "\\" + name))
          << name;
    }
  }

  void WaitForWizardEnd() {
    ASSERT_EQ(WaitForSingleObject(wizard_, kUiTimeoutMs), WAIT_OBJECT_0) << "Finish ends the wizard";
  }

  // A top-level window that the finish page's choices started; the test closes it again.
  static bool CloseStartedWindow(const char* className, const char* title) {
    HWND window = WaitForWindow([&] { return FindWindowA(className, title); }, kUiTimeoutMs);
    if (window) SendMessageA(window, WM_CLOSE, 0, 0);
    return window != nullptr;
  }

  const std::string simulator_ = PathFromEnvironment("Z614_CARD_SIMULATOR");
  MachineSnapshot before_;
  DWORD installStart_ = 0, dialogShown_ = 0, cardInserted_ = 0;
};

// Typical with the card brought while the wizard waits: the card works, so the finish page offers
// the read-me and the user interface, and both start with Finish.
TEST_F(InstallRun, TypicalWithTheCardInsertedWhileTheDialogWaits) {
  if (IsNineX()) GTEST_SKIP() << "the 9x family sees the card only through its drivers' devices";
  const InstallCase c = {"typical", "Typical", {}, true};
  WalkToInstalling(c);
  AnswerInsertCard(c);
  ASSERT_TRUE(WaitForPage(frame_, WizardPage::Finish, 30000));
  // The install's own time, without the user's: Next to the insert-card dialog, and the card's
  // arrival to the finish page, of which up to a second is the dialog's wait for its next check.
  printf("install run: %lu ms to the insert-card dialog, %lu ms from the card to the finish page\n",
         static_cast<unsigned long>(dialogShown_ - installStart_),
         static_cast<unsigned long>(GetTickCount() - cardInserted_));
  EXPECT_EQ(ControlText(frame_, kNext), "Finish");
  EXPECT_FALSE(ControlEnabled(frame_, kBack));
  EXPECT_TRUE(ControlChecked(Page(), kViewReadMe));
  EXPECT_TRUE(ControlChecked(Page(), kStartProduct));
  Picture(frame_, "typical-finish");
  ASSERT_TRUE(PressButton(frame_, kNext));
  WaitForWizardEnd();
  EXPECT_TRUE(CloseStartedWindow(kUserInterfaceClass, nullptr)) << "the user interface starts";
  EXPECT_TRUE(CloseStartedWindow("Notepad", nullptr)) << "the read-me is opened";
  ExpectFootprint(c);
  ExpectDiagnosticsMatchFiles();
  ExpectPayloadBytes({"Z614UI.exe", "Z614MON.exe", "Z614CTL.exe", "Z614sms.exe", "Operators.txt"});
}

// Without the card the machine must restart: Cancel on the insert-card dialog, the restart page,
// "No". The wizard ends without a restart request; the record, the self-delete value and the
// installed-programs entry are written all the same.
TEST_F(InstallRun, CustomWithoutTheCardEndsOnTheRestartPage) {
  const InstallCase c = {"custom", "Custom", {true, false, true, false}, false};
  WalkToInstalling(c);
  AnswerInsertCard(c);
  ASSERT_TRUE(WaitForPage(frame_, WizardPage::RestartFinish, 30000));
  Picture(frame_, "custom-restart-finish");
  CallWatch restart(copyId_, "user32.dll", "ExitWindowsEx", {1});
  ASSERT_TRUE(restart.WaitUntilArmed(kUiTimeoutMs));
  ASSERT_TRUE(ClickButton(Page(), kRestartNo));
  ASSERT_TRUE(PressButton(frame_, kNext));
  WaitForWizardEnd();
  EXPECT_TRUE(restart.Calls().empty()) << "No asks for no restart";
  ExpectFootprint(c);
}

// Administrator, no card, "Yes": the restart is asked for with EWX_REBOOT; on the NT family a
// refused first request enables the shutdown privilege and asks once more.
TEST_F(InstallRun, AdministratorAsksForTheRestart) {
  const InstallCase c = {"administrator", "Administrator", {}, false};
  WalkToInstalling(c);
  AnswerInsertCard(c);
  ASSERT_TRUE(WaitForPage(frame_, WizardPage::RestartFinish, 30000));
  CallWatch restart(copyId_, "user32.dll", "ExitWindowsEx", {0, 1});
  ASSERT_TRUE(restart.WaitUntilArmed(kUiTimeoutMs));
  ASSERT_TRUE(PressButton(frame_, kNext));
  WaitForWizardEnd();
  const std::vector<uint64_t> expected =
      IsNineX() ? std::vector<uint64_t>{EWX_REBOOT} : std::vector<uint64_t>{EWX_REBOOT, EWX_REBOOT};
  EXPECT_EQ(restart.Calls(), expected);
  ExpectFootprint(c);
}

}  // namespace
