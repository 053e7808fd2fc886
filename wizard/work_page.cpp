#include "wizard/work_page.h"

#include <commctrl.h>

#include "core/bounded_string.h"
#include "res/resource.h"
#include "sys/compact_lines.h"
#include "wizard/wizard_frame.h"
#include "wizard/wizard_messages.h"

namespace {

constexpr COLORREF kProgressBarColour = RGB(0, 4, 132);

void ShowStatus(HWND page, int statusId, const char* text) {
  char status[kCompactTextSize];
  CopyText(status, sizeof status, text ? text : "");
  HWND view = GetDlgItem(page, statusId);
  CompactLinesToWidth(view, status, sizeof status);
  SetWindowTextA(view, status);
}

}  // namespace

bool AnswerWorkPage(const WorkPage& work, HWND page, UINT message, WPARAM wParam,
                    INT_PTR* result) {
  *result = TRUE;
  switch (message) {
    case WM_INITDIALOG: {
      const int bars[] = {work.itemBarId, IDC_OVERALL_PROGRESS};
      for (int bar : bars) {
        SendDlgItemMessageA(page, bar, PBM_SETBARCOLOR, 0, kProgressBarColour);
        SendDlgItemMessageA(page, bar, PBM_SETPOS, 0, 0);
      }
      return true;
    }
    case kMsgPageShown:
      wizardFrame.ShowButtons(kButtonBack | kButtonNext);
      wizardFrame.EnableButtons(0);
      // Should the thread not start, every button stays disabled and nothing has been changed
      // on the machine: the user can only end the process.
      *work.thread = CreateThread(nullptr, 0, work.worker, work.window, 0, nullptr);
      return true;
    case kMsgProgressText:
      ShowStatus(page, work.statusId, reinterpret_cast<const char*>(wParam));
      return true;
    case kMsgItemProgress:
      SendDlgItemMessageA(page, work.itemBarId, PBM_SETPOS, wParam, 0);
      return true;
    case kMsgOverallProgress:
      SendDlgItemMessageA(page, IDC_OVERALL_PROGRESS, PBM_SETPOS, wParam, 0);
      return true;
    case kMsgWorkDone:
      if (*work.thread) CloseHandle(*work.thread);
      *work.thread = nullptr;
      // A worker that changed nothing ends the wizard with its exit code instead.
      if (wParam != 0) {
        PostQuitMessage(static_cast<int>(wParam));
        return true;
      }
      wizardFrame.Navigate(kButtonNext);
      return true;
    default:
      return false;
  }
}
