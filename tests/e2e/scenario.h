// Shared steps of the end-to-end scenarios: where the packed setups are, how a user starts one,
// the machine state a scenario looks at, and a run with its wizard open for the robot.
#pragma once
#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/robot/wizard_robot.h"

// Time a page switch, a message box or a window may take under Wine.
constexpr DWORD kUiTimeoutMs = 15000;
extern const char kProductName[];

// The setup the environment variable names (a host path), as a Windows path; "" when unset.
std::string SetupFromEnvironment(const char* variable = "Z614_SETUP_EXE");
// The run's Windows version (Z614_WINE_VERSION), its family, and whether the setup accepts it.
std::string WineVersion();
bool IsNineX();
bool SetupSupportsThisSystem();

std::string TempFolder();  // with its trailing backslash
std::string ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// The temporary copies (Del*.*) of the temporary folder.
std::vector<std::string> TemporaryCopies();
// The product's RunOnce value ("" when there is none).
std::string RunOnceValue();
void SetRunOnceValue(const std::string& command);
// Makes C:\z614 and removes earlier copies and the RunOnce value, so a scenario sees only its own.
void PrepareMachine();

struct SetupRun {
  bool ended = false;                  // every process of the tree ended in time
  std::vector<TreeProcess> processes;  // the started one first
  std::vector<ShownMessage> messages;  // every message box shown, each answered with OK
};

// Starts `exe` with `arguments` the way a double click does and follows it and every process
// it starts until all have ended. A copy that reaches its wizard has done all that start-up
// does: it is ended there, without the cancel question and its RunOnce value.
SetupRun StartAsUser(const std::string& exe, const std::string& arguments = "");

// One run of a setup with its wizard open: the started file and its temporary copy are followed
// in a thread of their own (the debugging calls belong to the thread that started them), while
// the test drives the wizard. Whatever a test leaves open is closed at the end (Cancel and Yes,
// else the processes are ended), so the next test starts on a quiet machine.
class WizardSession {
 public:
  explicit WizardSession(const std::string& exe);
  ~WizardSession();
  WizardSession(const WizardSession&) = delete;
  WizardSession& operator=(const WizardSession&) = delete;

  // The wizard frame once it is shown; nullptr on timeout.
  HWND WaitForFrame();
  // A message box or dialog of the setup above the wizard; nullptr on timeout.
  HWND WaitForMessageBox(DWORD timeoutMs = kUiTimeoutMs);
  // Cancel, then Yes in the confirmation; true when the wizard and its processes ended.
  bool CancelAndConfirm();
  // Saves the frame as <Z614_SCREENSHOT_DIR>\<name>.bmp when the run asks for screenshots.
  void Screenshot(const std::string& name);

 private:
  std::vector<DWORD> ProcessIds();
  bool WaitForEnd(DWORD timeoutMs = kUiTimeoutMs);

  std::mutex lock_;
  std::vector<DWORD> ids_;
  bool ended_ = false;
  bool stop_ = false;
  HWND frame_ = nullptr;
  std::thread follower_;
};
