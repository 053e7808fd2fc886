// One run of the packed setup with its wizard open: the started file and its temporary copy
// are followed in a thread of their own, while the test drives the wizard with the robot.
// Whatever a test leaves open is closed at the end (Cancel and Yes, else the processes are
// ended), so the next test starts on a quiet machine.
#pragma once
#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/robot/process_tree.h"
#include "tests/robot/wizard_robot.h"

// Time a page switch, a message box or a window may take under Wine.
constexpr DWORD kUiTimeoutMs = 15000;

class WizardSession {
 public:
  WizardSession(const std::string& exe, const std::string& arguments = "");
  ~WizardSession();
  WizardSession(const WizardSession&) = delete;
  WizardSession& operator=(const WizardSession&) = delete;

  std::vector<DWORD> ProcessIds();

  // The wizard frame once it is shown; nullptr on timeout.
  HWND WaitForFrame(DWORD timeoutMs = 60000);
  HWND frame() const { return frame_; }
  HWND page() const { return CurrentPageWindow(frame_); }

  // A message box of the setup above the wizard; nullptr on timeout.
  HWND WaitForMessageBox(DWORD timeoutMs = kUiTimeoutMs);

  // Cancel, then Yes in the confirmation; true when the wizard and its processes ended.
  bool CancelAndConfirm();

  // Waits until every process of the tree has ended; true when they did in time.
  bool WaitForEnd(DWORD timeoutMs = kUiTimeoutMs);

  // Saves the frame as <Z614_SCREENSHOT_DIR>\<name>.bmp when the run asks for screenshots.
  void Screenshot(const std::string& name);

 private:
  void Follow(std::string commandLine);
  void EndEverything();

  std::mutex lock_;
  std::vector<DWORD> ids_;
  bool ended_ = false;
  bool stop_ = false;
  HWND frame_ = nullptr;
  std::thread follower_;
};
