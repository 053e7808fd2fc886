// A plain start of the packed setup: the system gates, the temporary copy and what it is
// started with, the sweep of earlier copies, the pending self-delete, the single instance.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/e2e/scenario.h"

namespace {

const char kUnsupported[] = "Unsupported operating system. You cannot run this application.";
const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kProductName[] = "Xelta Z614";

class StartupScenario : public testing::Test {
 protected:
  void SetUp() override {
    setup_ = PackedSetupPath();
    ASSERT_FALSE(setup_.empty()) << "Z614_SETUP_EXE names the packed setup";
    CreateDirectoryA("C:\\z614", nullptr);
    ClearTemporaryCopies();
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunOnceKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
      RegDeleteValueA(key, kProductName);
      RegCloseKey(key);
    }
  }

  // Places the packed setup at `path` (folders created) and returns the path.
  std::string PlaceSetup(const std::string& folder, const std::string& name) {
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string path = folder + "\\" + name;
    EXPECT_TRUE(CopyFileA(setup_.c_str(), path.c_str(), FALSE));
    return path;
  }

  std::string setup_;
};

TEST_F(StartupScenario, GateRefusesOnlyUnsupportedSystems) {
  const SetupRun run = StartAsUser(setup_);
  ASSERT_TRUE(run.ended);
  ASSERT_FALSE(run.processes.empty());
  EXPECT_EQ(run.processes[0].exitCode, 0u);
  if (SetupSupportsThisSystem()) {
    EXPECT_TRUE(run.messages.empty()) << run.messages[0].text;
    EXPECT_EQ(run.processes.size(), 2u) << "the started file hands over to one copy";
  } else {
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].caption, kProductName);
    EXPECT_EQ(run.messages[0].text, kUnsupported);
    EXPECT_EQ(run.processes.size(), 1u);
    EXPECT_TRUE(TemporaryCopies().empty()) << "a refused start makes no copy";
  }
}

TEST_F(StartupScenario, PlainStartRunsAByteIdenticalCopyWithTheStartedPath) {
  if (!SetupSupportsThisSystem()) GTEST_SKIP() << "the gate refuses this system";
  const std::string started = PlaceSetup("C:\\z614\\My Setup", "Z614Setup.exe");
  const SetupRun run = StartAsUser(started, "extra \"two words\"");
  ASSERT_TRUE(run.ended);
  ASSERT_EQ(run.processes.size(), 2u);
  EXPECT_EQ(run.processes[0].exitCode, 0u);
  EXPECT_EQ(run.processes[1].exitCode, 0u);

  const std::vector<std::string> copies = TemporaryCopies();
  ASSERT_EQ(copies.size(), 1u);
  const std::string copy = TempFolder() + copies[0];
  EXPECT_EQ(copies[0].substr(copies[0].size() - 4), ".tmp");
  EXPECT_TRUE(ReadFileBytes(copy) == ReadFileBytes(started)) << "the copy carries the payload too";
  EXPECT_EQ(run.processes[1].commandLine,
            copy + " /Cloned \"C:\\z614\\My Setup\\Z614Setup.exe\" extra \"two words\"");
}

TEST_F(StartupScenario, InstalledUninstallerStartsTheUninstallCopy) {
  if (!SetupSupportsThisSystem()) GTEST_SKIP() << "the gate refuses this system";
  const std::string started = PlaceSetup("C:\\z614\\Product", "UnInstall.EXE");
  const SetupRun run = StartAsUser(started);
  ASSERT_TRUE(run.ended);
  ASSERT_EQ(run.processes.size(), 2u);
  const std::string& line = run.processes[1].commandLine;
  EXPECT_NE(line.find(" /ClonedUninstall C:\\z614\\Product\\UnInstall.EXE"), std::string::npos) << line;
  EXPECT_EQ(line.substr(line.size() - 4), ".EXE") << "no arguments follow the path";
}

TEST_F(StartupScenario, SweepDeletesIdleCopiesAndLeavesBusyOnes) {
  if (!SetupSupportsThisSystem()) GTEST_SKIP() << "the gate refuses this system";
  const std::string idle = TempFolder() + "DelIdle.tmp";
  const std::string readOnly = TempFolder() + "Del2.tmp";
  const std::string busy = TempFolder() + "DelBusy.tmp";
  WriteFileBytes(idle, "old copy");
  WriteFileBytes(readOnly, "old copy");
  SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  WriteFileBytes(busy, "running copy");
  // A copy that still runs keeps its file open without sharing deletion.
  HANDLE held = CreateFileA(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);

  const SetupRun run = StartAsUser(setup_);
  CloseHandle(held);
  ASSERT_TRUE(run.ended);
  EXPECT_FALSE(FileExists(idle));
  EXPECT_FALSE(FileExists(readOnly));
  EXPECT_TRUE(FileExists(busy));
  EXPECT_EQ(TemporaryCopies().size(), 2u) << "the busy copy and the new one";
}

void SetRunOnceValue(const char* command) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRunOnceKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, kProductName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                 static_cast<DWORD>(lstrlenA(command) + 1));
  RegCloseKey(key);
}

bool RunOnceValueExists() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunOnceKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  const bool exists = RegQueryValueExA(key, kProductName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  RegCloseKey(key);
  return exists;
}

TEST_F(StartupScenario, PendingSelfDeleteIsCarriedOutAtTheNextStart) {
  if (!SetupSupportsThisSystem()) GTEST_SKIP() << "the gate refuses this system";
  const std::string pending = "C:\\z614\\PendingCopy.tmp";
  WriteFileBytes(pending, "copy of an earlier wizard");
  SetRunOnceValue(("cmd.exe /C DEL " + pending).c_str());  // the marker matches in any case

  ASSERT_TRUE(StartAsUser(setup_).ended);
  EXPECT_FALSE(FileExists(pending));
  EXPECT_FALSE(RunOnceValueExists());

  // A value without the marker names no copy: nothing is deleted for it.
  WriteFileBytes(pending, "not a copy");
  SetRunOnceValue(("notepad.exe " + pending).c_str());
  ASSERT_TRUE(StartAsUser(setup_).ended);
  EXPECT_TRUE(FileExists(pending));
  EXPECT_TRUE(RunOnceValueExists());
}

TEST_F(StartupScenario, SecondCopyEndsSilentlyWhileTheFirstRuns) {
  if (!SetupSupportsThisSystem()) GTEST_SKIP() << "the gate refuses this system";
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
