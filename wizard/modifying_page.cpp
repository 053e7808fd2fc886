// Modifying (template 124, step 3): runs the Modify worker and shows its progress. No button
// works and no cancel request is answered while it runs.
#include "res/resource.h"
#include "wizard/maintenance_flow.h"
#include "wizard/page_protocol.h"
#include "wizard/setup_mode.h"
#include "wizard/wizard_messages.h"
#include "wizard/work_page.h"

HWND modifyPageWindow = nullptr;
HANDLE modifyThread = nullptr;

namespace {
constexpr int kModifyingStep = 3;
constexpr WorkPage kWork = {IDC_UPDATE_TEXT, IDC_UNINSTALL_TEXT, ModifyWorker, &modifyPageWindow,
                            &modifyThread};
}  // namespace

INT_PTR CALLBACK ModifyingPage(HWND page, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  modifyPageWindow = page;
  INT_PTR result = FALSE;
  if (message == kMsgQueryCancel) return FALSE;
  if (AnswerWorkPage(kWork, page, message, wParam, &result)) return result;
  if (AnswerPageProtocol(page, message, kModeModify, kModifyingStep, &result)) return result;
  return FALSE;
}
