// The insert-card dialog: asks the user to insert the card and closes by itself once the
// card's drivers and the "GPRS" entry are there.
//
// The card check reports no error code (it is always 0; see card_check.cpp), so a warning
// timed to the check's error code could never be shown: the dialog has one timer only, and
// strings 96 and 97 stay unused. A user whose dial-up entry cannot be made leaves the dialog
// with Cancel, and the finish page then tells the card's state.
#include "device/card_check.h"
#include "device/card_animation.h"
#include "device/card_dialogs.h"
#include "res/resource.h"
#include "sys/module_instance.h"
#include "sys/os_version.h"
#include "sys/setup_log.h"
#include "sys/setup_message.h"

namespace {
constexpr UINT_PTR kCardTimer = 1;
constexpr UINT kCardTimerMs = 1000;
}  // namespace

INT_PTR CALLBACK InsertCardDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      StartCardAnimation(dialog);
      SetTimer(dialog, kCardTimer, kCardTimerMs, nullptr);
      return TRUE;
    case WM_CTLCOLORSTATIC:
      return CardAnimationBackground(dialog, reinterpret_cast<HDC>(wParam),
                                     reinterpret_cast<HWND>(lParam), COLOR_3DFACE);
    case WM_TIMER: {
      if (wParam != kCardTimer) return FALSE;
      int32_t errorCode = 0;
      if (IsCardFullyPresent(CheckCard(&errorCode))) EndDialog(dialog, 0);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) != IDC_CARD_CANCEL) return FALSE;
      EndDialog(dialog, 0);
      return TRUE;
    case WM_DESTROY:
      KillTimer(dialog, kCardTimer);
      StopCardAnimation(dialog);
      return TRUE;
    default:
      return FALSE;
  }
}

void ShowInsertCardDialog(HWND owner) {
  // Nobody is there to insert the card: an unattended run does not wait for it, and the
  // missing card asks for the restart instead.
  if (IsUnattended()) {
    LogAction("Card not inserted: not waiting for it (unattended run)");
    return;
  }
  const int templateId = IsWin9x() ? IDD_INSERT_CARD_9X : IDD_INSERT_CARD_NT;
  LogAction("Insert-card dialog shown");
  FlushSetupLog();
  DialogBoxParamA(instanceHandle, MAKEINTRESOURCEA(templateId), owner, InsertCardDialog, 0);
  LogAction("Insert-card dialog closed");
}
