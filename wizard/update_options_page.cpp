// Update options (template 134, step 1): update the installed components, the profiles, or
// both. The profile choice is offered only when profile texts were collected at start-up.
#include "res/resource.h"
#include "sys/globals.h"
#include "wizard/maintenance_flow.h"
#include "wizard/page_protocol.h"
#include "wizard/setup_mode.h"
#include "wizard/wizard_frame.h"
#include "wizard/wizard_messages.h"

namespace {

constexpr int kOptionsStep = 1;

void TakeChoices(HWND page) {
  updateComponents = IsDlgButtonChecked(page, IDC_KEEP_SMS_DATA) == BST_CHECKED ? 1 : 0;
  updateProfiles = IsDlgButtonChecked(page, IDC_UPDATE_PROFILES) == BST_CHECKED ? 1 : 0;
}

// Next only while there is something to update.
void TakeChoicesAndEnable(HWND page) {
  TakeChoices(page);
  wizardFrame.EnableButtons(updateComponents || updateProfiles ? kAllButtons
                                                               : kButtonBack | kButtonCancel);
}

}  // namespace

INT_PTR CALLBACK UpdateOptionsPage(HWND page, UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/) {
  INT_PTR result = FALSE;
  switch (message) {
    case WM_INITDIALOG:
      CheckDlgButton(page, IDC_KEEP_SMS_DATA, BST_CHECKED);
      if (setupContext.nwpProfiles.Count() == 0) {
        updateProfiles = 0;
        EnableWindow(GetDlgItem(page, IDC_UPDATE_PROFILES), FALSE);
      } else {
        EnableWindow(GetDlgItem(page, IDC_UPDATE_PROFILES), TRUE);
        CheckDlgButton(page, IDC_UPDATE_PROFILES, BST_CHECKED);
      }
      return TRUE;
    case kMsgPageShown:
      TakeChoicesAndEnable(page);
      return TRUE;
    case WM_COMMAND:
      TakeChoicesAndEnable(page);
      return TRUE;
    case kMsgPageNext:
      TakeChoices(page);
      return TRUE;
    case kMsgPageBack:
      return TRUE;
    default:
      break;
  }
  if (AnswerPageProtocol(page, message, kModeUpdate, kOptionsStep, &result)) return result;
  return FALSE;
}
