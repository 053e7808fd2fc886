// The modal frame that hosts every flow: Back, Next and Cancel below one page at a time, the
// page table of the running flow, one-shot redirects and pages appended while it runs.
#pragma once
#include <windows.h>

#include <cstdint>

// Slots of the page table; the largest flow needs 8.
constexpr int kMaxPages = 20;

// Button bits of ShowButtons, EnableButtons, SetButtonText and SetDefaultButton.
constexpr UINT kButtonBack = 1;
constexpr UINT kButtonNext = 2;
constexpr UINT kButtonCancel = 4;
constexpr UINT kAllButtons = kButtonBack | kButtonNext | kButtonCancel;

class WizardFrame {
 public:
  WizardFrame() = default;
  ~WizardFrame() {}  // the page windows die with the dialog; nothing is left to release
  WizardFrame(const WizardFrame&) = delete;
  WizardFrame& operator=(const WizardFrame&) = delete;

  void SetInstance(HINSTANCE moduleInstance) { instance = moduleInstance; }

  // Appends a page whose window is made when it is first shown. A full table refuses the
  // page and returns 0; else 1.
  int AddPage(UINT templateId, DLGPROC pageProc);

  // Runs the frame modally (template 121) and returns the dialog's result, 0 on every end.
  INT_PTR Run();

  void ShowPage(int index);
  void SetPendingPage(int index) { pendingIndex = index; }
  // Bit 2: GoNext; else bit 1: GoBack; else nothing. For pages whose worker has finished.
  void Navigate(UINT bits);
  void GoNext();
  void GoBack();

  void ShowButtons(UINT bits);
  void EnableButtons(UINT bits);
  void SetButtonText(UINT bit, const char* text);
  void SetDefaultButton(UINT bit);

  HWND window = nullptr;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  char textBuffer[256] = "";
  int32_t pageCount = 0;
  HWND pageWindows[kMaxPages] = {};
  // 1, so that the first ShowPage(0) is never taken for a switch to the page already shown.
  int32_t currentIndex = 1;
  UINT shownButtons = 0;
  UINT enabledButtons = 0;
  uint32_t pageTemplates[kMaxPages] = {};
  DLGPROC pageProcs[kMaxPages] = {};
  // One-shot redirect of the next switch; 0 means none, so no page redirects to the first.
  int32_t pendingIndex = 0;

 private:
  static INT_PTR CALLBACK FrameProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(UINT message, WPARAM wParam);
  void InitDialog(HWND dialog);
  void SendToCurrentPage(UINT message);
  HWND CurrentPage() const;
};

// The one frame of the process (app/globals.cpp).
extern WizardFrame wizardFrame;
