// Installing (template 114, step 6): starts the install worker, shows its progress and, when
// it is done, appends the finish page that fits the card's state. No button works and no
// cancel request is answered while the worker runs.
#include "core/bounded_string.h"
#include "device/card_check.h"
#include "res/resource.h"
#include "sys/compact_lines.h"
#include "sys/os_version.h"
#include "sys/setup_message.h"
#include "wizard/install_flow.h"
#include "wizard/install_run.h"
#include "wizard/page_protocol.h"
#include "wizard/page_skin.h"
#include "wizard/setup_mode.h"
#include "wizard/wizard_frame.h"
#include "wizard/wizard_messages.h"

#include <commctrl.h>

HWND installPageWindow = nullptr;
HANDLE installThread = nullptr;

namespace {

constexpr int kInstallingStep = 6;
constexpr COLORREF kProgressBarColour = RGB(0, 4, 132);
constexpr int kProgressBars[] = {IDC_INSTALL_ITEM_PROGRESS, IDC_OVERALL_PROGRESS};

void ShowStatus(HWND page, const char* text) {
  char status[kCompactTextSize];
  CopyText(status, sizeof status, text);
  HWND view = GetDlgItem(page, IDC_INSTALL_STATUS);
  CompactLinesToWidth(view, status, sizeof status);
  SetWindowTextA(view, status);
}

void StartWorker() {
  wizardFrame.ShowButtons(kButtonBack | kButtonNext);
  wizardFrame.EnableButtons(0);
  // Should the thread not start, the page stays as it is: with every button disabled the
  // user can only end the process, and nothing has been changed on the machine yet.
  installThread = CreateThread(nullptr, 0, InstallWorker, &installPageWindow, 0, nullptr);
}

}  // namespace

bool InstallNeedsRestart() {
  int32_t error = 0;
  if (!HasAllDeviceBits(CheckCard(&error))) return true;
  return IsWin9x() && (selectedComponents & kComponentSC);
}

INT_PTR CALLBACK InstallingPage(HWND page, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  installPageWindow = page;
  INT_PTR result = FALSE;
  switch (message) {
    case WM_INITDIALOG:
      for (int bar : kProgressBars) {
        SendDlgItemMessageA(page, bar, PBM_SETBARCOLOR, 0, kProgressBarColour);
        SendDlgItemMessageA(page, bar, PBM_SETPOS, 0, 0);
      }
      return TRUE;
    case kMsgPageShown:
      StartWorker();
      return TRUE;
    case kMsgProgressText:
      ShowStatus(page, reinterpret_cast<const char*>(wParam));
      return TRUE;
    case kMsgItemProgress:
      SendDlgItemMessageA(page, IDC_INSTALL_ITEM_PROGRESS, PBM_SETPOS, wParam, 0);
      return TRUE;
    case kMsgOverallProgress:
      SendDlgItemMessageA(page, IDC_OVERALL_PROGRESS, PBM_SETPOS, wParam, 0);
      return TRUE;
    case kMsgWorkDone:
      if (installThread) CloseHandle(installThread);
      installThread = nullptr;
      // A worker that changed nothing ends the wizard with its exit code instead.
      if (wParam != 0) {
        PostQuitMessage(static_cast<int>(wParam));
        return TRUE;
      }
      wizardFrame.Navigate(kButtonNext);
      return TRUE;
    case kMsgPageNext:
      // An unattended run has no finish page to show: the frame ends here and start-up does
      // the finish page's work without its questions.
      if (IsUnattended()) return TRUE;
      if (InstallNeedsRestart()) {
        wizardFrame.AddPage(IDD_RESTART_FINISH, RestartFinishPage);
      } else {
        wizardFrame.AddPage(IDD_FINISH, FinishPage);
      }
      return TRUE;
    case kMsgQueryCancel:
      return FALSE;
    default:
      break;
  }
  if (AnswerPageProtocol(page, message, kModeInstall, kInstallingStep, &result)) return result;
  return FALSE;
}
