// A plain start of the packed setup: the system gates, the temporary copy and what it is
// started with, the sweep of earlier copies, the pending self-delete, the single instance.
#include <gtest/gtest.h>

#include "tests/e2e/scenario.h"

namespace {

TEST(StartupGate, RefusesOnlyUnsupportedSystems) {
  PrepareMachine();
  const SetupRun run = StartAsUser(SetupFromEnvironment());
  ASSERT_TRUE(run.ended);
  ASSERT_FALSE(run.processes.empty());
  EXPECT_EQ(run.processes[0].exitCode, 0u);
  if (SetupSupportsThisSystem()) {
    EXPECT_TRUE(run.messages.empty()) << run.messages[0].text;
    EXPECT_EQ(run.processes.size(), 2u) << "the started file hands over to one copy";
  } else {
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].caption, kProductName);
    EXPECT_EQ(run.messages[0].text,
              "Unsupported operating system. You cannot run this application.");
    EXPECT_EQ(run.processes.size(), 1u);
    EXPECT_TRUE(TemporaryCopies().empty()) << "a refused start makes no copy";
  }
}

class StartupScenario : public testing::Test {
 protected:
  void SetUp() override {
    if (!SetupSupportsThisSystem()) GTEST_SKIP() << "the gate refuses this system";
    ASSERT_FALSE(setup_.empty()) << "Z614_SETUP_EXE names the packed setup";
    PrepareMachine();
  }
  const std::string setup_ = SetupFromEnvironment();
};

// The copy is byte-identical, ends in .tmp, and gets the switch, the started path (quoted when
// it holds spaces) and the started file's arguments; an uninstaller in any case gets no arguments.
TEST_F(StartupScenario, StartRunsAByteIdenticalCopyWithTheStartedPath) {
  struct Case {
    const char* folder;
    const char* name;
    const char* arguments;
    const char* expected;  // the copy's command line after the copy's path
  };
  const Case cases[] = {
      {"C:\\z614\\My Setup", "Z614Setup.exe", "extra \"two words\"",
       " /Cloned \"C:\\z614\\My Setup\\Z614Setup.exe\" extra \"two words\""},
      {"C:\\z614\\Product", "UnInstall.EXE", "",
       " /ClonedUninstall C:\\z614\\Product\\UnInstall.EXE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PrepareMachine();
    CreateDirectoryA(c.folder, nullptr);
    const std::string started = std::string(c.folder) + "\\" + c.name;
    ASSERT_TRUE(CopyFileA(setup_.c_str(), started.c_str(), FALSE));
    const SetupRun run = StartAsUser(started, c.arguments);
    ASSERT_TRUE(run.ended);
    ASSERT_EQ(run.processes.size(), 2u);
    EXPECT_EQ(run.processes[0].exitCode, 0u);
    const std::vector<std::string> copies = TemporaryCopies();
    ASSERT_EQ(copies.size(), 1u);
    const std::string copy = TempFolder() + copies[0];
    EXPECT_EQ(copies[0].substr(copies[0].size() - 4), ".tmp");
    EXPECT_TRUE(ReadFileBytes(copy) == ReadFileBytes(started)) << "with the payload too";
    EXPECT_EQ(run.processes[1].commandLine, copy + c.expected);
  }
}

TEST_F(StartupScenario, SweepDeletesIdleCopiesAndLeavesBusyOnes) {
  const std::string idle = TempFolder() + "DelIdle.tmp";
  const std::string readOnly = TempFolder() + "Del2.tmp";
  const std::string busy = TempFolder() + "DelBusy.tmp";
  WriteFileBytes(idle, "old copy");
  WriteFileBytes(readOnly, "old copy");
  SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  WriteFileBytes(busy, "running copy");
  // A copy that still runs keeps its file open without sharing deletion.
  HANDLE held =
      CreateFileA(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const SetupRun run = StartAsUser(setup_);
  CloseHandle(held);
  ASSERT_TRUE(run.ended);
  EXPECT_FALSE(FileExists(idle));
  EXPECT_FALSE(FileExists(readOnly));
  EXPECT_TRUE(FileExists(busy));
  EXPECT_EQ(TemporaryCopies().size(), 2u) << "the busy copy and the new one";
}

TEST_F(StartupScenario, PendingSelfDeleteIsCarriedOutAtTheNextStart) {
  const std::string pending = "C:\\z614\\PendingCopy.tmp";
  WriteFileBytes(pending, "copy of an earlier wizard");
  SetRunOnceValue("cmd.exe /C DEL " + pending);  // the marker matches in any case
  ASSERT_TRUE(StartAsUser(setup_).ended);
  EXPECT_FALSE(FileExists(pending));
  EXPECT_EQ(RunOnceValue(), "");

  // A value without the marker names no copy: nothing is deleted for it.
  WriteFileBytes(pending, "not a copy");
  SetRunOnceValue("notepad.exe " + pending);
  ASSERT_TRUE(StartAsUser(setup_).ended);
  EXPECT_TRUE(FileExists(pending));
  EXPECT_NE(RunOnceValue(), "");
}

TEST_F(StartupScenario, SecondCopyEndsSilentlyWhileTheFirstRuns) {
  HANDLE firstCopy = CreateMutexA(nullptr, TRUE, "Z614InstallMutex");
  ASSERT_NE(firstCopy, nullptr);
  const SetupRun run = StartAsUser(setup_, "/Cloned \"C:\\z614\\Setup.exe\"");
  CloseHandle(firstCopy);
  ASSERT_TRUE(run.ended);
  ASSERT_EQ(run.processes.size(), 1u) << "a copy starts no further copy";
  EXPECT_EQ(run.processes[0].exitCode, 0u);
  EXPECT_TRUE(run.messages.empty());
}

}  // namespace
