// The Install wizard installs: the packed demo started as a user starts it, walked from Welcome
// to its finish page, with the card simulator inserting the card while the insert-card dialog
// waits (or never). The machine's footprint after Finish is compared with what the demo script
// makes for the setup type and the system; any other change is a fault.
#include "tests/e2e/install_run_scenario.h"
#include "tests/robot/call_watch.h"

namespace {

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
  const InstallCase c = {"custom", "Custom", {true, false, true, false}, false, {}, true};
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
