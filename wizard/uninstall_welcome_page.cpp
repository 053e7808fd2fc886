// Uninstall welcome (template 116): reads the installation record and its Remove.cnf, and asks
// what the uninstall keeps. Back stays disabled: the choice page is not shown again.
#include <shlwapi.h>

#include "core/bounded_string.h"
#include "res/resource.h"
#include "script/uninstall_script.h"
#include "sys/globals.h"
#include "sys/module_instance.h"
#include "sys/uninstall_registration.h"
#include "wizard/install_flow.h"
#include "wizard/install_record.h"
#include "wizard/maintenance_flow.h"
#include "wizard/page_protocol.h"
#include "wizard/page_skin.h"
#include "wizard/setup_mode.h"
#include "wizard/wizard_frame.h"
#include "wizard/wizard_messages.h"

namespace {

HFONT titleFont = nullptr;
// Posted to the page by its own creation: the jump to the finish page runs once the frame has
// finished making this page, not inside that switch.
constexpr UINT kMsgJumpToFinish = WM_APP + 1;

// Loads the uninstall script of the recorded installation. Without it there is nothing to
// remove: the product's entry in the installed-programs list goes, and the wizard jumps to the
// finish page.
void LoadUninstallScript(HWND page) {
  char folder[MAX_PATH];
  ReadTargetFolder(folder);
  CopyText(setupContext.targetFolder, sizeof setupContext.targetFolder, folder);
  char script[MAX_PATH];
  CopyText(script, sizeof script, folder);
  if (PathAppendA(script, kUninstallScriptName) && setupContext.LoadScript(script)) return;
  char product[kTextBufferSize];
  LoadText(IDS_PRODUCT_NAME, product);
  UnregisterUninstall(product);
  PostMessageA(page, kMsgJumpToFinish, 0, 0);
}

}  // namespace

INT_PTR CALLBACK UninstallWelcomePage(HWND page, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  INT_PTR result = FALSE;
  switch (message) {
    case WM_INITDIALOG:
      titleFont = CreateTitleFont(page, IDC_TITLE);
      selectedComponents = ReadInstalledComponents();
      LoadUninstallScript(page);
      CheckDlgButton(page, IDC_KEEP_SETTINGS, BST_CHECKED);
      CheckDlgButton(page, IDC_KEEP_SMS_DATA, BST_CHECKED);
      return TRUE;
    case kMsgJumpToFinish:
      // The finish page is the last of the list: the fifth after the choice page, the fourth
      // when the Uninstall pages stand alone.
      wizardFrame.ShowPage(wizardFrame.pageCount - 1);
      return TRUE;
    case kMsgPageShown:
      if (!IsWindowVisible(page)) return TRUE;  // already left for the finish page
      wizardFrame.ShowButtons(kAllButtons);
      wizardFrame.EnableButtons(kButtonNext | kButtonCancel);
      SetFrameButtonText(kButtonCancel, IDS_BUTTON_CANCEL);
      return TRUE;
    case kMsgPageNext:
      keepSettings = IsDlgButtonChecked(page, IDC_KEEP_SETTINGS) == BST_CHECKED ? 1 : 0;
      keepSmsData = IsDlgButtonChecked(page, IDC_KEEP_SMS_DATA) == BST_CHECKED ? 1 : 0;
      return TRUE;
    case WM_DESTROY:
      if (titleFont) DeleteObject(titleFont);
      titleFont = nullptr;
      return FALSE;
    default:
      break;
  }
  if (AnswerWindowColour(page, message, wParam, &result)) return result;
  if (AnswerPageProtocol(page, message, kModeUninstall, kNoStep, &result)) return result;
  return FALSE;
}
