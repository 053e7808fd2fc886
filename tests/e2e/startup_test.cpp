// A plain start of the packed setup: the system gates, the temporary copy and what it is
// started with, the sweep of earlier copies, the pending self-delete, the single instance.
#include <gtest/gtest.h>

#include "tests/e2e/scenario.h"

namespace {

struct SetupRun {
  bool ended = false;                  // every process of the tree ended in time
  std::vector<TreeProcess> processes;  // the started one first
  std::vector<ShownMessage> messages;  // every message box shown, each answered with OK
};

// Starts `exe` and follows it and every process it starts until all have ended. A copy that
// reaches its wizard has done all that start-up does: it is ended there, without a RunOnce value.
SetupRun StartAsUser(const std::string& exe, const std::string& arguments = "") {
  SetupRun run;
  const std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
  run.ended = FollowProcessTree(commandLine, 30000, run.processes, [&]() {
    std::vector<DWORD> ids;
    for (const TreeProcess& p : run.processes) ids.push_back(p.id);
    if (HWND frame = FindWizardFrame(ids)) {
      DWORD processId = 0;
      GetWindowThreadProcessId(frame, &processId);
      HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, processId);
      TerminateProcess(process, 0);
      CloseHandle(process);
      Sleep(200);
    } else if (HWND box = FindMessageBox(ids)) {
      run.messages.push_back(ReadMessageBox(box));
      PressButton(box, IDOK);
      Sleep(200);  // let the box close before looking again
    }
  });
  return run;
}

void SetRunOnceValue(const std::string& command) {
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, kRunOnceKey, kProductName, REG_SZ, command.c_str(),
                  static_cast<DWORD>(command.size() + 1));
}

// win95 and nt40 are refused; on the others, every scenario below passes the gate.
TEST(StartupGate, RefusesUnsupportedSystems) {
  if (SetupSupportsThisSystem()) GTEST_SKIP() << "the gate lets this system pass";
  PrepareMachine();
  const SetupRun run = StartAsUser(PathFromEnvironment());
  ASSERT_TRUE(run.ended);
  ASSERT_EQ(run.processes.size(), 1u);
  EXPECT_EQ(run.processes[0].exitCode, 0u);
  ASSERT_EQ(run.messages.size(), 1u);
  EXPECT_EQ(run.messages[0].caption, kProductName);
  EXPECT_EQ(run.messages[0].text, "Unsupported operating system. You cannot run this application.");
  EXPECT_TRUE(TemporaryCopies().empty()) << "a refused start makes no copy";
}

class StartupScenario : public testing::Test {
 protected:
  void SetUp() override {
    if (!SetupSupportsThisSystem()) GTEST_SKIP() << "the gate refuses this system";
    ASSERT_FALSE(setup_.empty()) << "Z614_SETUP_EXE names the packed setup";
    PrepareMachine();
  }
  const std::string setup_ = PathFromEnvironment();
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
    ASSERT_EQ(run.processes.size(), 2u) << "the started file hands over to one copy";
    EXPECT_EQ(run.processes[0].exitCode, 0u);
    EXPECT_TRUE(run.messages.empty());
    const std::vector<std::string> copies = TemporaryCopies();
    ASSERT_EQ(copies.size(), 1u);
    const std::string copy = TempFolder() + copies[0];
    EXPECT_EQ(copies[0].substr(copies[0].size() - 4), ".tmp");
    EXPECT_TRUE(ReadFileBytes(copy) == ReadFileBytes(started)) << "with the payload too";
    EXPECT_EQ(run.processes[1].commandLine, copy + c.expected);
  }
}

// The image without its payload has no install script: the copy says so and shows no wizard.
TEST_F(StartupScenario, WithoutTheInstallScriptTheCopySaysSoAndEnds) {
  const std::string image = PathFromEnvironment("Z614_SETUP_IMAGE");
  ASSERT_FALSE(image.empty()) << "Z614_SETUP_IMAGE names the setup without payload";
  const SetupRun run = StartAsUser(image);
  ASSERT_TRUE(run.ended);
  ASSERT_EQ(run.processes.size(), 2u);
  ASSERT_EQ(run.messages.size(), 1u);
  EXPECT_EQ(run.messages[0].caption, kProductName);
  EXPECT_EQ(run.messages[0].text, "Configuration (setup.cnf) file not found.");
}

// A start sweeps the idle copies of earlier starts away, leaves the busy ones, and carries out
// a pending self-delete, but only for a RunOnce value with the marker " /c del " (in any case).
TEST_F(StartupScenario, StartRemovesWhatEarlierCopiesLeft) {
  const std::string idle = TempFolder() + "DelIdle.tmp";
  const std::string readOnly = TempFolder() + "Del2.tmp";
  const std::string busy = TempFolder() + "DelBusy.tmp";
  const std::string pending = "C:\\z614\\PendingCopy.tmp";
  for (const std::string& file : {idle, readOnly, busy, pending}) WriteFileBytes(file, "old copy");
  SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  SetRunOnceValue("cmd.exe /C DEL " + pending);
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
  EXPECT_FALSE(FileExists(pending));
  EXPECT_EQ(RunOnceValue(), "");

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

namespace {

// The libraries the setup binds at run time. ole32 and comctl32's uxtheme are left out: Wine's
// own imm32 and user32 load them by bare name, which Windows answers from its known-DLL list
// (ole32) and its theme service (uxtheme); the setup binds ole32 as it binds the others.
constexpr const char* kPlantedNames[] = {"comctl32", "msimg32",  "shlwapi",  "shell32",
                                         "comdlg32", "rasapi32", "setupapi", "cfgmgr32"};

std::string Lower(std::string text) {
  CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
  return text;
}

// A DLL of each name lies beside the started file and in the temporary folder where its copy
// runs. The run's WINEDLLOVERRIDES lets Wine take such a file before its own wherever a search
// reaches it, as Windows would: the setup and its copy reach the wizard taking none of them.
TEST(PlantedLibraries, NeitherTheSetupNorItsCopyLoadsOne) {
  const std::string planted = PathFromEnvironment("Z614_PLANTED_LIBRARY");
  ASSERT_FALSE(planted.empty()) << "Z614_PLANTED_LIBRARY names the DLL to plant";
  PrepareMachine();
  const std::string folder = "C:\\z614\\Downloads\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  ASSERT_TRUE(CopyFileA(PathFromEnvironment().c_str(), (folder + "Z614Setup.exe").c_str(), FALSE));
  for (const std::string& place : {folder, TempFolder()}) {
    for (const char* name : kPlantedNames)
      ASSERT_TRUE(CopyFileA(planted.c_str(), (place + name + ".dll").c_str(), FALSE));
  }
  const SetupRun run = StartAsUser(folder + "Z614Setup.exe");
  ASSERT_TRUE(run.ended);
  bool commonControls = false;
  for (const TreeProcess& process : run.processes) {
    for (const std::string& library : process.libraries) {
      const std::string path = Lower(library);
      EXPECT_EQ(path.find(Lower(folder)), std::string::npos) << library;
      EXPECT_EQ(path.find(Lower(TempFolder())), std::string::npos) << library;
      commonControls |= path.find("\\comctl32.dll") != std::string::npos;
    }
  }
  EXPECT_TRUE(commonControls) << "the copy's wizard binds the common controls";
  ASSERT_EQ(run.processes.size(), 2u);
  EXPECT_TRUE(run.messages.empty());
  EXPECT_EQ(run.processes[1].exitCode, 0u) << "the copy was ended at its wizard";
}

}  // namespace
