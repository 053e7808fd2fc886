#include "wizard/page_protocol.h"

#include "core/bounded_string.h"
#include "res/resource.h"
#include "sys/module_instance.h"
#include "wizard/confirm_cancel.h"
#include "wizard/page_skin.h"
#include "wizard/wizard_frame.h"
#include "wizard/wizard_messages.h"

bool AnswerPageProtocol(HWND page, UINT message, int list, int step, INT_PTR* result) {
  switch (message) {
    case WM_PAINT:
      pageSkin.Paint(page, list, step);
      *result = TRUE;
      return true;
    case WM_NEXTDLGCTL:
    case WM_COMMAND:
      *result = TRUE;
      return true;
    case kMsgQueryCancel:
      SetWindowLongPtrA(page, DWLP_MSGRESULT, ConfirmCancel(page, list));
      *result = TRUE;
      return true;
    default:
      return false;
  }
}

bool AnswerWindowColour(HWND page, UINT message, WPARAM wParam, INT_PTR* result) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(page, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_WINDOW));
      *result = TRUE;
      return true;
    }
    case WM_CTLCOLORSTATIC:
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
      *result = reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
      return true;
    default:
      return false;
  }
}

HFONT CreateTitleFont(HWND page, int titleId) {
  LOGFONTA font = {};
  GetObjectA(GetStockObject(SYSTEM_FONT), sizeof font, &font);
  int pixelsPerInch = 96;
  if (HDC dc = GetDC(page)) {
    pixelsPerInch = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(page, dc);
  }
  font.lfHeight = -MulDiv(12, pixelsPerInch, 72);
  font.lfWidth = 0;
  font.lfWeight = FW_BOLD;
  CopyText(font.lfFaceName, sizeof font.lfFaceName, "Verdana");
  HFONT title = CreateFontIndirectA(&font);
  if (title) SendDlgItemMessageA(page, titleId, WM_SETFONT, reinterpret_cast<WPARAM>(title), TRUE);
  return title;
}

void SetFrameButtonText(UINT bit, UINT textId) {
  char text[kTextBufferSize];
  LoadText(textId, text);
  wizardFrame.SetButtonText(bit, text);
}

void ShowFinishButtons() {
  wizardFrame.ShowButtons(kButtonBack | kButtonNext);
  wizardFrame.EnableButtons(kButtonNext);
  SetFrameButtonText(kButtonNext, IDS_STEP_FINISH);
}
