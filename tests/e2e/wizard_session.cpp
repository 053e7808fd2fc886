#include "tests/e2e/wizard_session.h"

#include <cstdlib>

namespace {

// Every tree ends within this time; a wizard left open is closed long before.
constexpr DWORD kTreeTimeoutMs = 600000;

std::string WindowsPath(const char* unixPath) {
  std::string path = std::string("Z:") + unixPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

}  // namespace

WizardSession::WizardSession(const std::string& exe, const std::string& arguments) {
  std::string commandLine = "\"" + exe + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  follower_ = std::thread(&WizardSession::Follow, this, commandLine);
}

WizardSession::~WizardSession() {
  EndEverything();
  if (follower_.joinable()) follower_.join();
}

// The debugging calls belong to the thread that started the process, so the whole tree is
// followed here; the test's thread only reads the process ids.
void WizardSession::Follow(std::string commandLine) {
  ProcessTree tree;
  tree.Run(commandLine, kTreeTimeoutMs, [&]() {
    std::lock_guard<std::mutex> guard(lock_);
    ids_.clear();
    for (const TreeProcess& p : tree.Processes()) {
      if (p.exitCode == STILL_ACTIVE) ids_.push_back(p.id);
    }
    return !stop_;
  });
  std::lock_guard<std::mutex> guard(lock_);
  ids_.clear();
  ended_ = true;
}

std::vector<DWORD> WizardSession::ProcessIds() {
  std::lock_guard<std::mutex> guard(lock_);
  return ids_;
}

HWND WizardSession::WaitForFrame(DWORD timeoutMs) {
  frame_ = WaitForWindow([&] { return FindWizardFrame(ProcessIds()); }, timeoutMs);
  return frame_;
}

HWND WizardSession::WaitForMessageBox(DWORD timeoutMs) {
  return WaitForWindow([&] { return FindMessageBox(ProcessIds(), frame_); }, timeoutMs);
}

bool WizardSession::WaitForEnd(DWORD timeoutMs) {
  return WaitUntil(
      [&] {
        std::lock_guard<std::mutex> guard(lock_);
        return ended_;
      },
      timeoutMs);
}

bool WizardSession::CancelAndConfirm() {
  if (!frame_ || !IsWindow(frame_)) return false;
  if (!PressFrameButton(frame_, IDCANCEL)) return false;
  HWND box = WaitForMessageBox();
  if (!box) return false;
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, IDYES)));
  return WaitForEnd();
}

void WizardSession::EndEverything() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (ended_) return;
  }
  // A test that failed half-way: close the wizard as a user would, else end the processes.
  if (HWND box = FindMessageBox(ProcessIds(), frame_)) {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDYES)));
    Sleep(300);
  }
  if (!CancelAndConfirm()) {
    for (DWORD id : ProcessIds()) {
      if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id)) {
        TerminateProcess(process, 1);
        CloseHandle(process);
      }
    }
    if (!WaitForEnd()) {
      std::lock_guard<std::mutex> guard(lock_);
      stop_ = true;
    }
  }
}

void WizardSession::Screenshot(const std::string& name) {
  const char* folder = std::getenv("Z614_SCREENSHOT_DIR");
  if (!folder || !*folder || !frame_) return;
  Sleep(300);  // let the page finish painting
  SaveWindowBitmap(frame_, WindowsPath(folder) + "\\" + name + ".bmp");
}
