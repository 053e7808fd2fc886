// Modify welcome (template 120).
#include "res/resource.h"
#include "wizard/maintenance_flow.h"
#include "wizard/maintenance_welcome.h"
#include "wizard/page_protocol.h"
#include "wizard/page_skin.h"
#include "wizard/setup_mode.h"

namespace {
HFONT titleFont = nullptr;
}

INT_PTR CALLBACK ModifyWelcomePage(HWND page, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  INT_PTR result = FALSE;
  if (AnswerMaintenanceWelcome(page, message, &titleFont, IDS_BUTTON_CANCEL, &result)) return result;
  if (AnswerWindowColour(page, message, wParam, &result)) return result;
  if (AnswerPageProtocol(page, message, kModeModify, kNoStep, &result)) return result;
  return FALSE;
}
