// Update welcome (template 130). The Cancel button keeps the choice page's "Exit" caption.
#include "res/resource.h"
#include "wizard/maintenance_flow.h"
#include "wizard/maintenance_welcome.h"
#include "wizard/page_protocol.h"
#include "wizard/page_skin.h"
#include "wizard/setup_mode.h"

namespace {
HFONT titleFont = nullptr;
}

INT_PTR CALLBACK UpdateWelcomePage(HWND page, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  INT_PTR result = FALSE;
  if (AnswerMaintenanceWelcome(page, message, &titleFont, 0, &result)) return result;
  if (AnswerWindowColour(page, message, wParam, &result)) return result;
  if (AnswerPageProtocol(page, message, kModeUpdate, kNoStep, &result)) return result;
  return FALSE;
}
