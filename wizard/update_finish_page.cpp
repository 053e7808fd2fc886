// Update finish (template 133): Finish ends the wizard, which schedules the deletion of the
// temporary copy.
#include "res/resource.h"
#include "wizard/maintenance_finish.h"
#include "wizard/setup_mode.h"

INT_PTR CALLBACK UpdateFinishPage(HWND page, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  static HFONT titleFont = nullptr;
  INT_PTR result = FALSE;
  AnswerMaintenanceFinish(page, message, wParam, &titleFont, kModeUpdate, &result);
  return result;
}
