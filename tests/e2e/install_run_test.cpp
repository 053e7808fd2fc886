// The Install wizard installs without the card: the packed demo started as a user starts it,
// walked from Welcome to its restart page, the insert-card dialog cancelled. The machine's
// footprint after Finish is compared with what the demo script makes for the setup type and the
// system; any other change is a fault. Typical with the card is the machine life's first step.
#include "tests/e2e/install_run_scenario.h"
#include "tests/robot/call_watch.h"

namespace {

// Without the card the machine must restart: Cancel on the insert-card dialog, the restart page,
// "No". The wizard ends without a restart request; the record, the self-delete value and the
// installed-programs entry are written all the same.
TEST_F(InstallRun, CustomWithoutTheCardEndsOnTheRestartPage) {
  const InstallCase c = {"custom", "Custom", {true, false, true, false}, {}, true};
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
  const InstallCase c = {"administrator", "Administrator", {}};
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
