// The remove-card dialog: asks the user to take the card out and closes by itself once its
// two functions are no longer active. A hidden bar and spinner show how much of the card the
// drivers still report.
#include <windows.h>
#include <commctrl.h>

#include "device/card_animation.h"
#include "device/card_check.h"
#include "device/card_dialogs.h"
#include "res/resource.h"
#include "sys/module_instance.h"
#include "sys/setup_log.h"
#include "sys/setup_message.h"

namespace {

constexpr UINT_PTR kCardTimer = 1;
constexpr UINT kCardTimerMs = 1000;
constexpr COLORREF kBarColour = 0x840400;
constexpr const char* kSpinner[] = {"/", "-", "\\", "|"};

// One dialog at a time: the busy flag keeps one tick from overlapping the next.
bool busy = false;
int spinnerIndex = 0;

int DeviceBitCount(CardState state) {
  int count = 0;
  for (CardState bit = 1; bit <= 8; bit <<= 1) count += (state & bit) != 0 ? 1 : 0;
  return count;
}

void Tick(HWND dialog) {
  busy = true;
  spinnerIndex = (spinnerIndex + 1) % 4;
  SetDlgItemTextA(dialog, IDC_SPINNER, kSpinner[spinnerIndex]);
  int32_t errorCode = 0;
  const CardState state = CheckCard(&errorCode);
  if (IsCardGone(state)) EndDialog(dialog, 0);
  SendDlgItemMessageA(dialog, IDC_CARD_PRESENCE, PBM_SETPOS, DeviceBitCount(state) * 100 / 4, 0);
  busy = false;
}

}  // namespace

INT_PTR CALLBACK RemoveCardDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SendDlgItemMessageA(dialog, IDC_CARD_PRESENCE, PBM_SETBARCOLOR, 0, kBarColour);
      SendDlgItemMessageA(dialog, IDC_CARD_PRESENCE, PBM_SETPOS, 0, 0);
      StartCardAnimation(dialog);
      busy = false;
      spinnerIndex = 0;
      SetTimer(dialog, kCardTimer, kCardTimerMs, nullptr);
      return TRUE;
    case WM_TIMER:
      if (!busy) Tick(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) != IDC_CARD_CANCEL) return FALSE;
      EndDialog(dialog, 0);
      return TRUE;
    case WM_DESTROY:
      StopCardAnimation(dialog);
      KillTimer(dialog, kCardTimer);
      return TRUE;
    case WM_CTLCOLORSTATIC:
      return CardAnimationBackground(dialog, reinterpret_cast<HDC>(wParam),
                                     reinterpret_cast<HWND>(lParam), COLOR_BTNFACE);
    default:
      return FALSE;
  }
}

void ShowRemoveCardDialog(HWND owner) {
  // Nobody is there to take the card out: an unattended run goes on as after Cancel, and the
  // devices are stopped once more by the caller.
  if (IsUnattended()) {
    LogAction("Card still active: not waiting for its removal (unattended run)");
    return;
  }
  LogAction("Remove-card dialog shown");
  FlushSetupLog();
  DialogBoxParamA(instanceHandle, MAKEINTRESOURCEA(IDD_REMOVE_CARD), owner, RemoveCardDialog, 0);
  LogAction("Remove-card dialog closed");
}
