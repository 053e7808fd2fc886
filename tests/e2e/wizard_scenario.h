// A wizard scenario: the packed setup started as a user starts it (a double click), its
// temporary copy's wizard followed page by page with the robot.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include "tests/e2e/scenario.h"

// Control and button ids of the frame and the pages.
constexpr int kNext = 1, kCancel = 2, kBack = 1077;
constexpr int kLicenseView = 1008, kSetupTypes = 1019, kComponents = 1020;

class WizardScenario : public testing::Test {
 protected:
  void SetUp() override {
    if (!SetupSupportsThisSystem()) GTEST_SKIP() << "the gate refuses this system";
    ASSERT_FALSE(full_.empty()) << "Z614_SETUP_EXE names the packed setup";
    PrepareMachine();
  }

  // Closes what a test left open, so that the next one starts on a quiet machine.
  void TearDown() override {
    if (!wizard_) return;
    if (WaitForSingleObject(wizard_, 0) != WAIT_OBJECT_0 && !CancelAndConfirm()) {
      TerminateProcess(wizard_, 1);
    }
    WaitForSingleObject(wizard_, kUiTimeoutMs);
    CloseHandle(wizard_);
  }

  // Starts the setup as a user would and waits for its first page (Welcome when the product is
  // not installed). The wizard is shown by the started file's temporary copy; the scenarios run
  // alone, so any wizard shown is this one.
  void Start(const std::string& exe, WizardPage first = WizardPage::Welcome,
             const std::string& parameters = "") {
    if (wizard_) CloseHandle(wizard_);
    wizard_ = nullptr;
    HINSTANCE started = ShellExecuteA(nullptr, "open", exe.c_str(),
                                      parameters.empty() ? nullptr : parameters.c_str(), nullptr,
                                      SW_SHOW);
    ASSERT_GT(reinterpret_cast<INT_PTR>(started), 32) << "the setup starts";
    frame_ = WaitForWindow([] { return FindWizardFrame({}); }, 60000);
    ASSERT_NE(frame_, nullptr) << "the temporary copy shows the wizard";
    GetWindowThreadProcessId(frame_, &copyId_);
    wizard_ = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, copyId_);
    ASSERT_TRUE(WaitForPage(frame_, first, kUiTimeoutMs))
        << "expected " << PageName(first) << ", shown " << PageName(CurrentPage(frame_));
  }

  // A message box, a card dialog or the folder browser above the wizard; nullptr on timeout.
  HWND WaitForMessageBox(DWORD timeoutMs = kUiTimeoutMs) {
    return WaitForWindow([] { return FindMessageBox({}); }, timeoutMs);
  }

  // Cancel, then Yes in the question; true when the wizard ended.
  bool CancelAndConfirm() {
    if (!PressButton(frame_, kCancel)) return false;
    HWND box = WaitForMessageBox();
    return box && PressButton(box, IDYES) &&
           WaitForSingleObject(wizard_, kUiTimeoutMs) == WAIT_OBJECT_0;
  }

  // Presses Next or Back and waits for the expected page; after a fatal failure, does nothing.
  void Go(int button, WizardPage expected, DWORD timeoutMs = kUiTimeoutMs) {
    if (HasFatalFailure()) return;
    ASSERT_TRUE(PressButton(frame_, button)) << "on " << PageName(CurrentPage(frame_));
    ASSERT_TRUE(WaitForPage(frame_, expected, timeoutMs))
        << "expected " << PageName(expected) << ", shown " << PageName(CurrentPage(frame_));
  }
  void Next(WizardPage expected) { Go(kNext, expected); }
  void Back(WizardPage expected) { Go(kBack, expected); }

  HWND Page() { return CurrentPageWindow(frame_); }
  HWND LicenseEdit() { return GetWindow(GetDlgItem(Page(), kLicenseView), GW_CHILD); }

  // Page Down to the licence's end enables "I Accept".
  void AcceptLicense() {
    Next(WizardPage::License);
    ASSERT_TRUE(WaitUntil(
        [&] {
          PressKey(LicenseEdit(), VK_NEXT);
          Sleep(100);
          return ControlEnabled(frame_, kNext);
        },
        kUiTimeoutMs));
  }

  // A picture of `window` in the screenshot folder of this run, when the run keeps pictures.
  void Picture(HWND window, const std::string& name) {
    const std::string pictures = PathFromEnvironment("Z614_SCREENSHOT_DIR");
    if (pictures.empty() || !window) return;
    // The first page can be shown before the window manager has drawn the caption.
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    Sleep(300);  // let the window finish painting
    SaveWindowBitmap(window, pictures + "\\" + name + ".bmp");
  }

  const std::string full_ = PathFromEnvironment();
  HANDLE wizard_ = nullptr;  // the temporary copy
  DWORD copyId_ = 0;
  HWND frame_ = nullptr;
};
