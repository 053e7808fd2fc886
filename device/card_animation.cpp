#include "device/card_animation.h"

#include <windows.h>
#include <commctrl.h>

#include "res/resource.h"
#include "sys/module_instance.h"

void StartCardAnimation(HWND dialog) {
  SendDlgItemMessageA(dialog, IDC_CARD_ANIMATION, ACM_OPENA,
                      reinterpret_cast<WPARAM>(instanceHandle),
                      reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(IDR_CARD_ANIMATION)));
}

void StopCardAnimation(HWND dialog) {
  SendDlgItemMessageA(dialog, IDC_CARD_ANIMATION, ACM_OPENA, 0, 0);
}

INT_PTR CardAnimationBackground(HWND dialog, HDC dc, HWND control, int faceColour) {
  if (control != GetDlgItem(dialog, IDC_CARD_ANIMATION)) return 0;
  SetBkColor(dc, GetSysColor(faceColour));
  return reinterpret_cast<INT_PTR>(GetSysColorBrush(faceColour));
}
