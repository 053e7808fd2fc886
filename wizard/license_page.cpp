// License (template 108, step 1): "I Accept" (Next) is enabled only once the last line of the
// licence has been visible; "Decline" is the Cancel button.
#include <cstring>
#include <new>

#include "sys/globals.h"
#include "core/script_model.h"
#include "res/resource.h"
#include "wizard/install_flow.h"
#include "wizard/page_protocol.h"
#include "wizard/page_skin.h"
#include "wizard/text_view.h"
#include "wizard/wizard_frame.h"
#include "wizard/wizard_messages.h"

namespace {

constexpr int kLicenseStep = 1;

// The licence travels in the script as a precached file; without it the view stays empty.
void ShowLicense(HWND page) {
  const FileItem* item = FindFileItem(setupContext.script, "License.txt");
  if (!item || !item->precacheData || item->precacheSize == 0) return;
  char* text = new (std::nothrow) char[item->precacheSize + size_t{1}];
  if (!text) return;
  memcpy(text, item->precacheData.get(), item->precacheSize);
  text[item->precacheSize] = '\0';
  SetText(FindTextView(GetDlgItem(page, IDC_LICENSE_VIEW)), text);
  delete[] text;
}

void UpdateAcceptButton(HWND page) {
  if (IsScrolledToEnd(FindTextView(GetDlgItem(page, IDC_LICENSE_VIEW)))) {
    wizardFrame.EnableButtons(kButtonBack | kButtonNext | kButtonCancel);
  } else {
    wizardFrame.EnableButtons(kButtonBack | kButtonCancel);
  }
}

}  // namespace

INT_PTR CALLBACK LicensePage(HWND page, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  INT_PTR result = FALSE;
  switch (message) {
    case WM_INITDIALOG:
      ShowLicense(page);
      return TRUE;
    case kMsgPageShown:
      UpdateAcceptButton(page);
      SetFrameButtonText(kButtonNext, IDS_BUTTON_ACCEPT);
      SetFrameButtonText(kButtonCancel, IDS_BUTTON_DECLINE);
      return TRUE;
    case kMsgRefreshView:  // the text view was scrolled, resized or a key was pressed in it
      UpdateAcceptButton(page);
      return TRUE;
    default:
      break;
  }
  (void)wParam;
  if (AnswerPageProtocol(page, message, kModeInstall, kLicenseStep, &result)) return result;
  return FALSE;
}
