// The install run on a payload with gaps and a machine that resists: each ends as the setup
// promises, with the installation record and Remove.cnf describing what is on disk.
#include "tests/e2e/install_run_scenario.h"

namespace {

constexpr char kMissingFile[] = "Xelta Z614: The file is not in the package: ";

std::string TargetFile(const char* name) { return std::string(kTargetFolder) + "\\" + name; }

// A payload without "Operators.txt" (a line without "<optional>") and without "Phrases.smp" (a
// line with it), into a target folder that already holds a read-only "Z614API.dll" and a
// "Z614RAS.dll" that a running program keeps open for reading, as a loaded library is. The
// absent entry is named in the missing-file message and the optional one passes in silence.
// The read-only file is replaced. The open one resists deletion for the five seconds of retries
// and cannot be written, and the setup counts it as done without a word: it keeps its old bytes,
// is recorded for the uninstall, and its Diagnostics checksum is that of the bytes on disk.
TEST_F(InstallRun, GapsInThePayloadAndFilesThatResist) {
  const InstallCase c = {"gaps", "Custom", {true, false, true, false},
                         {kMissingFile + std::string("Operators.txt")}};
  CreateDirectoryA("C:\\Program Files\\Xelta", nullptr);
  CreateDirectoryA(kTargetFolder, nullptr);
  WriteFileBytes(TargetFile("Z614API.dll"), "an older read-only copy");
  ASSERT_TRUE(SetFileAttributesA(TargetFile("Z614API.dll").c_str(), FILE_ATTRIBUTE_READONLY));
  WriteFileBytes(TargetFile("Z614RAS.dll"), "a copy in use");
  HANDLE inUse = CreateFileA(TargetFile("Z614RAS.dll").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(inUse, INVALID_HANDLE_VALUE);
  before_ = TakeSnapshot();

  WalkToSummary(c, PathFromEnvironment("Z614_GAPS_SETUP_EXE"));
  BeginInstall();
  AnswerInsertCard(c);
  EXPECT_GE(dialogShown_ - installStart_, 4900u) << "five seconds of retries on the open file";
  ASSERT_TRUE(WaitForPage(frame_, WizardPage::RestartFinish, 30000));
  ASSERT_TRUE(ClickButton(Page(), kRestartNo));
  ASSERT_TRUE(PressButton(frame_, kNext));
  WaitForWizardEnd();
  CloseHandle(inUse);

  EXPECT_EQ(ReadFileBytes(TargetFile("Z614RAS.dll")), "a copy in use");
  EXPECT_EQ(GetFileAttributesA(TargetFile("Z614API.dll").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  ExpectPayloadBytes({"Z614API.dll", "Z614UI.exe"});
  ExpectFootprint(c);
  ExpectDiagnosticsMatchFiles();
}

// The target folder cannot be made once the Summary page shows: a file has taken its name. A
// file that cannot be created counts as done, without a word, except the uninstaller, the copy
// of the whole setup file that the script names by an empty entry. Remove.cnf cannot be written
// either. The run still reaches its finish page and writes the installation record, which names
// the folder the user chose; what it made elsewhere (the drivers here) stays unrecorded: there
// is no roll-back.
TEST_F(InstallRun, BlockedTargetFolder) {
  const InstallCase c = {"blocked", "Custom", {true, false, false, false}, {kMissingFile}};
  WalkToSummary(c, full_);
  CreateDirectoryA("C:\\Program Files\\Xelta", nullptr);
  WriteFileBytes(kTargetFolder, "a file where the folder should be");
  BeginInstall();
  AnswerInsertCard(c);
  ASSERT_TRUE(WaitForPage(frame_, WizardPage::RestartFinish, 30000));
  ASSERT_TRUE(ClickButton(Page(), kRestartNo));
  ASSERT_TRUE(PressButton(frame_, kNext));
  WaitForWizardEnd();

  EXPECT_EQ(ReadFileBytes(kTargetFolder), "a file where the folder should be");
  ExpectFootprint(c);
}

}  // namespace
