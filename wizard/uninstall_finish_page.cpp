// Uninstall finish (template 118): the remaining driver files go when the page is shown; the
// product's entry in the installed-programs list and the temporary copy when the wizard ends.
#include "core/bounded_string.h"
#include "device/registry_cleanup.h"
#include "res/resource.h"
#include "sys/module_instance.h"
#include "sys/uninstall_registration.h"
#include "wizard/install_run.h"
#include "wizard/maintenance_flow.h"
#include "wizard/page_protocol.h"
#include "wizard/page_skin.h"
#include "wizard/setup_mode.h"
#include "wizard/wizard_frame.h"
#include "wizard/wizard_messages.h"

namespace {
HFONT titleFont = nullptr;
}

INT_PTR CALLBACK UninstallFinishPage(HWND page, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  INT_PTR result = FALSE;
  switch (message) {
    case WM_INITDIALOG:
      titleFont = CreateTitleFont(page, IDC_HEADING);
      return TRUE;
    case kMsgPageShown:
      ShowFinishButtons();
      RemoveDriverFiles();
      return TRUE;
    case kMsgPageNext:
      return TRUE;
    case kMsgQueryCancel:
      return FALSE;  // the work is done: only Finish ends the wizard
    case WM_DESTROY: {
      if (titleFont) DeleteObject(titleFont);
      titleFont = nullptr;
      char product[kTextBufferSize];
      LoadText(IDS_PRODUCT_NAME, product);
      UnregisterUninstall(product);
      ScheduleCloneDeletion();
      return FALSE;
    }
    default:
      break;
  }
  if (AnswerWindowColour(page, message, wParam, &result)) return result;
  if (AnswerPageProtocol(page, message, kModeUninstall, kNoStep, &result)) return result;
  return FALSE;
}
