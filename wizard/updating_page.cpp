// Updating (template 132, step 3): runs the Update worker and shows its progress. Cancel is
// hidden, but a cancel request from the Escape key or the close box still gets the Update
// question.
#include "res/resource.h"
#include "wizard/maintenance_flow.h"
#include "wizard/page_protocol.h"
#include "wizard/setup_mode.h"
#include "wizard/work_page.h"

HWND updatePageWindow = nullptr;
HANDLE updateThread = nullptr;

namespace {
constexpr int kUpdatingStep = 3;
constexpr WorkPage kWork = {IDC_UPDATE_STATUS, IDC_UPDATE_ITEM_PROGRESS, UpdateWorker,
                            &updatePageWindow, &updateThread};
}  // namespace

INT_PTR CALLBACK UpdatingPage(HWND page, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  updatePageWindow = page;
  INT_PTR result = FALSE;
  if (AnswerWorkPage(kWork, page, message, wParam, &result)) return result;
  if (AnswerPageProtocol(page, message, kModeUpdate, kUpdatingStep, &result)) return result;
  return FALSE;
}
