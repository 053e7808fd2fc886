// Uninstalling (template 117, step 2): runs the uninstall worker and shows its progress. Cancel
// is hidden, but a cancel request from the Escape key or the close box still gets the
// Uninstall question, and a Yes ends the wizard.
#include "res/resource.h"
#include "wizard/maintenance_flow.h"
#include "wizard/page_protocol.h"
#include "wizard/setup_mode.h"
#include "wizard/work_page.h"

HWND uninstallPageWindow = nullptr;
HANDLE uninstallThread = nullptr;

namespace {
constexpr int kUninstallingStep = 2;
constexpr WorkPage kWork = {IDC_UNINSTALL_STATUS, IDC_UNINSTALL_ITEM_PROGRESS, UninstallWorker,
                            &uninstallPageWindow, &uninstallThread};
}  // namespace

INT_PTR CALLBACK UninstallingPage(HWND page, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  uninstallPageWindow = page;
  INT_PTR result = FALSE;
  if (AnswerWorkPage(kWork, page, message, wParam, &result)) return result;
  if (AnswerPageProtocol(page, message, kModeUninstall, kUninstallingStep, &result)) return result;
  return FALSE;
}
