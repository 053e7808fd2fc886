#include "wizard/maintenance_finish.h"

#include "res/resource.h"
#include "wizard/install_run.h"
#include "wizard/maintenance_flow.h"
#include "wizard/page_protocol.h"
#include "wizard/page_skin.h"
#include "wizard/wizard_frame.h"
#include "wizard/wizard_messages.h"

void AnswerMaintenanceFinish(HWND page, UINT message, WPARAM wParam, HFONT* font, int mode,
                             INT_PTR* result) {
  *result = TRUE;
  switch (message) {
    case WM_INITDIALOG:
      *font = CreateTitleFont(page, IDC_HEADING);
      SetForegroundWindow(wizardFrame.window);
      return;
    case kMsgPageShown:
      ShowFinishButtons();
      return;
    case kMsgPageNext:
      return;
    case kMsgQueryCancel:
      *result = FALSE;
      return;
    case WM_DESTROY:
      if (*font) DeleteObject(*font);
      *font = nullptr;
      ScheduleCloneDeletion();
      *result = FALSE;
      return;
    default:
      break;
  }
  *result = FALSE;
  if (AnswerWindowColour(page, message, wParam, result)) return;
  AnswerPageProtocol(page, message, mode, kNoStep, result);
}
