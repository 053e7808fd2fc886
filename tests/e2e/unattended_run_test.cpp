// Unattended runs as an administrator's tool starts them, followed with every process they start
// to the end: the exit code, the windows and boxes shown, and the footprint.
#include "tests/e2e/install_run_scenario.h"
#include "tests/robot/call_watch.h"

#include <tlhelp32.h>

namespace {

constexpr char kFolder[] = "C:\\Apps\\Xelta Z614";

struct Outcome {
  DWORD exitCode = STILL_ACTIVE;       // of the started process
  size_t processes = 0;                // the started one and all it started
  std::vector<std::string> messages;   // each box shown, answered with OK
  std::vector<WizardPage> pages;       // the wizard pages shown, in order
  bool windowShown = false;            // any visible window of the setup's processes
};

class UnattendedRun : public InstallRun {
 protected:
  Outcome Run(const std::string& exe, const std::string& switches) {
    Outcome run;
    std::vector<TreeProcess> tree;
    const bool ended = FollowProcessTree("\"" + exe + "\" " + switches, 180000, tree, [&] {
      std::vector<DWORD> ids;
      for (const TreeProcess& p : tree) ids.push_back(p.id);
      if (HWND frame = FindWizardFrame(ids)) {
        const WizardPage page = CurrentPage(frame);
        if (page != WizardPage::None && (run.pages.empty() || run.pages.back() != page)) run.pages.push_back(page);
      }
      if (HWND box = FindMessageBox(ids)) {
        run.messages.push_back(ReadMessageBox(box).text);
        PressButton(box, IDOK);
        Sleep(200);  // let the box close before looking again
      }
      for (HWND w = GetTopWindow(nullptr); w && !run.windowShown; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        run.windowShown = IsWindowVisible(w) && std::find(ids.begin(), ids.end(), owner) != ids.end();
      }
    });
    EXPECT_TRUE(ended) << switches;
    run.exitCode = tree.empty() ? STILL_ACTIVE : tree[0].exitCode;
    run.processes = tree.size();
    return run;
  }

  // The footprint since the test began, an install into kFolder read as one into the default
  // folder, against the reviewed one `name`.
  void ExpectFootprintAs(const std::string& name) {
    std::vector<std::string> actual;
    for (std::string line : Difference(before_, TakeSnapshot())) {
      for (size_t at; (at = line.find("C:\\Apps\\")) != std::string::npos;) line.replace(at, 8, "C:\\Program Files\\Xelta\\");
      actual.push_back(Normalized(line));
    }
    std::sort(actual.begin(), actual.end());
    actual.erase(std::unique(actual.begin(), actual.end()), actual.end());
    ExpectReviewedFootprint(actual, name);
  }

  const std::string log_ = PathFromEnvironment("Z614_SCREENSHOT_DIR") + "\\unattended.log";
};

// Each bad value is refused by the started process itself, before it makes its copy: a silent
// run says why in its log and fails with 1603, a run with the wizard says it in a message box.
// Nothing on the machine changes. A damaged payload and a setup already running fail the same way.
TEST_F(UnattendedRun, BadValuesAreRefusedBeforeAnythingChanges) {
  DeleteFileA(log_.c_str());
  const struct {
    const char* switches;
    DWORD exitCode;
    const char* message;  // in the box, or in the log of a silent run
  } cases[] = {
      {"/VerySilent /Type Express", 1603, "\"Express\" is no setup type."},
      {"/Silent /Components Driver,Helpfiles", 1603, "\"Helpfiles\" is no component."},
      {"/VerySilent /Components Driver,SC", 1603, "This setup cannot install SC on this computer."},
      {"/VerySilent /Folder C:\\unwritable\\Xelta", 1603, "The folder \"C:\\unwritable\\Xelta\" cannot be created"},
      {"/VerySilent /Uninstall", 1603, "The Xelta Z614 is not installed"},
      {"/Update Settings", 1603, "\"Settings\" cannot be updated."},
      {"/Type Express", 0, "\"Express\" is no setup type. /Type takes Typical, Custom or Administrator."},
      {"/?", 0, "Z614Setup [/Silent | /VerySilent] [/Folder path]"},
  };
  for (const auto& c : cases) {
    const Outcome run = Run(full_, std::string(c.switches) + " /Log \"" + log_ + "\"");
    EXPECT_EQ(run.exitCode, c.exitCode) << c.switches;
    EXPECT_EQ(run.processes, 1u) << c.switches << ": no copy is made";
    if (c.exitCode == 0) {
      ASSERT_EQ(run.messages.size(), 1u) << c.switches;
      EXPECT_EQ(run.messages[0].rfind(c.message, 0), 0u) << run.messages[0];
    } else {
      EXPECT_EQ(run.messages, std::vector<std::string>{}) << c.switches;
    }
    EXPECT_NE(ReadFileBytes(log_).find(c.message), std::string::npos) << c.switches;
  }
  EXPECT_EQ(Difference(before_, TakeSnapshot()), std::vector<std::string>{});

  // A damaged payload is found by the copy, before its first change: 1603 through the started
  // file, the entry named in the log instead of a message box.
  const Outcome damaged = Run(PathFromEnvironment("Z614_DAMAGED_SETUP_EXE"), "/VerySilent /Log \"" + log_ + "\"");
  EXPECT_EQ(damaged.exitCode, 1603u);
  EXPECT_EQ(damaged.messages, std::vector<std::string>{});
  EXPECT_NE(ReadFileBytes(log_).find("Payload check: entry Z614UI.exe is damaged"), std::string::npos);

  // So does a copy that finds another setup running, which a wizard copy leaves in silence.
  HANDLE running = CreateMutexA(nullptr, TRUE, "Z614InstallMutex");
  EXPECT_EQ(Run(full_, "/VerySilent /Log \"" + log_ + "\"").exitCode, 1603u);
  CloseHandle(running);
  EXPECT_NE(ReadFileBytes(log_).find("Another Xelta Z614 setup is running."), std::string::npos);
}

// The Custom install of the wizard test (drivers and the administrator page, no card), asked for
// on the command line into another folder: the same footprint, 3010 for the restart the missing
// card needs, no window. Then the setup updates it with its progress page alone, and the
// installed uninstaller removes it without any window, keeping nothing: what stays is what
// stays after the wizard's Uninstall.
TEST_F(UnattendedRun, InstallUpdateAndUninstallWithoutQuestions) {
  Outcome run = Run(full_, "/VerySilent /Folder \"" + std::string(kFolder) + "\" /Components Driver,Admin /NoRestart /Log \"" +
                               log_ + "\"");
  EXPECT_EQ(run.exitCode, 3010u) << "the card works only after a restart";
  EXPECT_FALSE(run.windowShown);
  EXPECT_EQ(run.messages, std::vector<std::string>{});
  ExpectFootprintAs("custom");

  // The Update from the setup, as the wizard's: started from the installed uninstaller it would
  // take the read-me from beside that file, which the update removes first.
  run = Run(full_, "/Silent /Update Both /Log \"" + log_ + "\"");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(run.pages, std::vector<WizardPage>{WizardPage::Updating});
  EXPECT_EQ(run.messages, std::vector<std::string>{});
  ExpectFootprintAs("custom");

  // From the installed programs' command line too: the profiles alone leave every file, the
  // uninstaller that waits for the run included.
  run = Run(std::string(kFolder) + "\\Uninstall.exe", "/VerySilent /Update Profiles /Log \"" + log_ + "\"");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_FALSE(run.windowShown);
  ExpectFootprintAs("custom");

  // The uninstaller waits for its copy; the copy moves its file aside, so that it goes with the
  // installation.
  run = Run(std::string(kFolder) + "\\Uninstall.exe", "/VerySilent /Uninstall /Log \"" + log_ + "\"");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_FALSE(run.windowShown);
  EXPECT_EQ(run.messages, std::vector<std::string>{});
  EXPECT_FALSE(FileExists(kFolder));
  ExpectFootprintAs("uninstalled");
}

// The temporary copy ("Del*.tmp" in the temporary folder) of a setup started outside the robot.
DWORD WaitForCopyProcess() {
  DWORD copy = 0;
  WaitUntil([&] {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 process = {};
    process.dwSize = sizeof process;
    for (BOOL more = Process32First(snapshot, &process); more && !copy;
         more = Process32Next(snapshot, &process)) {
      const std::string name = process.szExeFile;
      if (_strnicmp(name.c_str(), "Del", 3) == 0 && name.size() > 4 &&
          _stricmp(name.c_str() + name.size() - 4, ".tmp") == 0) {
        copy = process.th32ProcessID;
      }
    }
    CloseHandle(snapshot);
    return copy != 0;
  }, kUiTimeoutMs);
  return copy;
}

// Without /NoRestart, a silent install that leaves the card for the next start of Windows asks
// for that restart itself: ExitWindowsEx with EWX_REBOOT, answered here in the system's place.
// A product file held open in the target folder keeps the run in its five seconds of delete
// retries, time enough to watch the copy the started setup made and see its one page.
TEST_F(UnattendedRun, RestartsUnlessToldNotTo) {
  CreateDirectoryA("C:\\Program Files\\Xelta", nullptr);
  CreateDirectoryA(kTargetFolder, nullptr);
  const std::string held = std::string(kTargetFolder) + "\\Z614API.dll";
  WriteFileBytes(held, "a copy in use");
  HANDLE inUse = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(inUse, INVALID_HANDLE_VALUE);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  std::string line = "\"" + full_ + "\" /Silent";
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &started));
  const DWORD copy = WaitForCopyProcess();
  ASSERT_NE(copy, 0u);
  {
    CallWatch restart(copy, "user32.dll", "ExitWindowsEx", {1});
    ASSERT_TRUE(restart.WaitUntilArmed(kUiTimeoutMs));
    HWND frame = WaitForWindow([&] { return FindWizardFrame({copy}); }, kUiTimeoutMs);
    EXPECT_TRUE(frame && WaitForPage(frame, WizardPage::Installing, kUiTimeoutMs)) << "the progress alone";
    EXPECT_EQ(WaitForSingleObject(started.hProcess, 60000), WAIT_OBJECT_0);
    EXPECT_EQ(restart.Calls(), std::vector<uint64_t>{EWX_REBOOT});
  }
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(started.hProcess, &code);
  EXPECT_EQ(code, 3010u);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  CloseHandle(inUse);
}

}  // namespace
