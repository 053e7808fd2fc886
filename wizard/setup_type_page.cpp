// Setup type (template 113, step 3): Typical, Custom and, when the payload carries the
// administrator module, Administrator. Typical and Administrator skip the Components page.
#include <cstring>

#include "sys/globals.h"
#include "res/resource.h"
#include "sys/module_instance.h"
#include "wizard/install_flow.h"
#include "wizard/page_protocol.h"
#include "wizard/page_skin.h"
#include "wizard/wizard_frame.h"
#include "wizard/wizard_messages.h"

namespace {

constexpr int kSetupTypeStep = 3;
constexpr int kTypeTextSize = 256;

// The list box keeps pointers to the descriptions, so the texts live as long as the process.
char customName[kTypeTextSize];
char customDescription[kTypeTextSize];
char typicalName[kTypeTextSize];
char typicalDescription[kTypeTextSize];
char administratorName[kTypeTextSize];
char administratorDescription[kTypeTextSize];

void AddType(HWND list, UINT nameId, char* name, UINT descriptionId, char* description) {
  LoadText(nameId, name);
  LoadText(descriptionId, description);
  const LRESULT row = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  if (row >= 0) {
    SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(description));
  }
}

void ShowSelectedDescription(HWND page) {
  HWND list = GetDlgItem(page, IDC_SETUP_TYPES);
  const LRESULT row = SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (row == LB_ERR) return;
  const LRESULT data = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0);
  if (data == LB_ERR || data == 0) return;
  SetDlgItemTextA(page, IDC_DESCRIPTION, reinterpret_cast<const char*>(data));
}

void InitTypes(HWND page) {
  HWND list = GetDlgItem(page, IDC_SETUP_TYPES);
  AddType(list, IDS_SETUP_CUSTOM, customName, IDS_SETUP_CUSTOM_DESC, customDescription);
  if (payloadArchive.CountMatches(kAdminModuleEntry) > 0) {
    AddType(list, IDS_SETUP_ADMIN, administratorName, IDS_SETUP_ADMIN_DESC,
            administratorDescription);
  }
  AddType(list, IDS_SETUP_TYPICAL, typicalName, IDS_SETUP_TYPICAL_DESC, typicalDescription);
  const LRESULT typical =
      SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(typicalName));
  if (typical != LB_ERR) SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(typical), 0);
  ShowSelectedDescription(page);
}

// The chosen type decides the set; choosing again resets any Custom choices made before.
void TakeChoice(HWND page) {
  HWND list = GetDlgItem(page, IDC_SETUP_TYPES);
  const LRESULT row = SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (row == LB_ERR) return;
  const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
  if (length == LB_ERR || length >= kTypeTextSize) return;
  char chosen[kTypeTextSize] = "";
  SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(chosen));
  if (strcmp(chosen, customName) == 0) {
    setupType = kSetupCustom;
    selectedComponents = kTypicalComponents;
  } else if (strcmp(chosen, typicalName) == 0) {
    setupType = kSetupTypical;
    selectedComponents = kTypicalComponents;
    wizardFrame.SetPendingPage(kSummaryPageIndex);
  } else {
    setupType = kSetupAdministrator;
    selectedComponents = kAdministratorComponents;
    wizardFrame.SetPendingPage(kSummaryPageIndex);
  }
}

}  // namespace

INT_PTR CALLBACK SetupTypePage(HWND page, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  INT_PTR result = FALSE;
  switch (message) {
    case WM_INITDIALOG:
      InitTypes(page);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_SETUP_TYPES && HIWORD(wParam) == LBN_SELCHANGE) {
        ShowSelectedDescription(page);
      }
      return TRUE;
    case kMsgPageNext:
      TakeChoice(page);
      return TRUE;
    default:
      break;
  }
  if (AnswerPageProtocol(page, message, kModeInstall, kSetupTypeStep, &result)) return result;
  return FALSE;
}
