// Welcome (template 107): the large watermark, the title and the legal notice. Back stays
// disabled: this is the first page.
#include "res/resource.h"
#include "sys/module_instance.h"
#include "wizard/install_flow.h"
#include "wizard/page_protocol.h"
#include "wizard/page_skin.h"
#include "wizard/wizard_frame.h"
#include "wizard/wizard_messages.h"

namespace {
HFONT titleFont = nullptr;
}

INT_PTR CALLBACK WelcomePage(HWND page, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  INT_PTR result = FALSE;
  switch (message) {
    case WM_INITDIALOG: {
      titleFont = CreateTitleFont(page, IDC_TITLE);
      char caption[kTextBufferSize];
      LoadText(IDS_FRAME_CAPTION, caption);
      SetWindowTextA(wizardFrame.window, caption);
      SendMessageA(wizardFrame.window, WM_SETICON, ICON_BIG,
                   reinterpret_cast<LPARAM>(LoadIconA(instanceHandle, MAKEINTRESOURCEA(IDI_SETUP))));
      return TRUE;
    }
    case WM_DESTROY:
      if (titleFont) DeleteObject(titleFont);
      titleFont = nullptr;
      return FALSE;
    case kMsgPageShown:
      SetFrameButtonText(kButtonNext, IDS_BUTTON_NEXT);
      SetFrameButtonText(kButtonCancel, IDS_BUTTON_CANCEL);
      wizardFrame.EnableButtons(kButtonNext | kButtonCancel);
      return TRUE;
    default:
      break;
  }
  if (AnswerWindowColour(page, message, wParam, &result)) return result;
  if (AnswerPageProtocol(page, message, kModeInstall, kNoStep, &result)) return result;
  return FALSE;
}
