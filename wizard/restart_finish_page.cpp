// Restart finish (template 110): the card works only after a restart. "Yes" is chosen afresh
// each time the page shows; the record, the self-delete value and the installed-programs entry
// are written once more when the frame ends, whatever the choice.
#include "device/restart.h"
#include "res/resource.h"
#include "sys/globals.h"
#include "wizard/install_flow.h"
#include "wizard/install_record.h"
#include "wizard/install_run.h"
#include "wizard/page_protocol.h"
#include "wizard/page_skin.h"
#include "wizard/setup_mode.h"
#include "wizard/wizard_frame.h"
#include "wizard/wizard_messages.h"

namespace {
HFONT titleFont = nullptr;
}

INT_PTR CALLBACK RestartFinishPage(HWND page, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  INT_PTR result = FALSE;
  switch (message) {
    case WM_INITDIALOG:
      titleFont = CreateTitleFont(page, IDC_HEADING);
      return TRUE;
    case kMsgPageShown:
      ShowFinishButtons();
      CheckRadioButton(page, IDC_RESTART_NO, IDC_RESTART_YES, IDC_RESTART_YES);
      return TRUE;
    case kMsgPageNext:
      if (IsDlgButtonChecked(page, IDC_RESTART_YES) == BST_CHECKED) RestartMachine();
      return TRUE;
    case WM_DESTROY:
      if (titleFont) DeleteObject(titleFont);
      titleFont = nullptr;
      WriteTargetFolder(setupContext.targetFolder);
      WriteInstalledComponents(selectedComponents);
      ScheduleCloneDeletion();
      RegisterProductUninstall();
      return FALSE;
    case kMsgQueryCancel:
      return FALSE;
    default:
      break;
  }
  if (AnswerWindowColour(page, message, wParam, &result)) return result;
  if (AnswerPageProtocol(page, message, kModeInstall, kNoStep, &result)) return result;
  return FALSE;
}
