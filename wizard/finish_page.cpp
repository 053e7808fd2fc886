// Finish (template 115): the card works. Offers the read-me and the user interface, and acts
// when the frame ends and destroys it.
#include "core/bounded_string.h"
#include "device/product_apps.h"
#include "res/resource.h"
#include "wizard/install_record.h"
#include "wizard/install_run.h"
#include "wizard/page_protocol.h"
#include "wizard/page_skin.h"
#include "wizard/setup_mode.h"
#include "wizard/wizard_frame.h"
#include "wizard/wizard_messages.h"

#include <shellapi.h>
#include <shlwapi.h>

namespace {

HFONT titleFont = nullptr;
constexpr char kReadMeFile[] = "ReadMe.txt";

void OpenReadMe() {
  char path[MAX_PATH];
  ReadTargetFolder(path);
  if (!PathAppendA(path, kReadMeFile)) return;
  ShellExecuteA(nullptr, "open", path, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

INT_PTR CALLBACK FinishPage(HWND page, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  INT_PTR result = FALSE;
  switch (message) {
    case WM_INITDIALOG:
      titleFont = CreateTitleFont(page, IDC_HEADING);
      CheckDlgButton(page, IDC_VIEW_README, BST_CHECKED);
      CheckDlgButton(page, IDC_START_PRODUCT, BST_CHECKED);
      SetForegroundWindow(wizardFrame.window);
      return TRUE;
    case kMsgPageShown:
      ShowFinishButtons();
      return TRUE;
    case kMsgPageNext:
      return TRUE;
    case WM_DESTROY:
      if (titleFont) DeleteObject(titleFont);
      titleFont = nullptr;
      if (IsDlgButtonChecked(page, IDC_VIEW_README) == BST_CHECKED) OpenReadMe();
      if (IsDlgButtonChecked(page, IDC_START_PRODUCT) == BST_CHECKED) LaunchApp(kUserInterfaceApp);
      ScheduleCloneDeletion();
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
