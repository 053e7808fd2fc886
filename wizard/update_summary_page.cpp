// Update summary (template 131, step 2): the folder and, when the components are updated, the
// installed ones the running payload can install again. A component whose files the payload
// lacks is dropped from the set here, so the worker does not reinstall it.
#include "core/bounded_string.h"
#include "res/resource.h"
#include "sys/globals.h"
#include "wizard/component_lines.h"
#include "wizard/install_flow.h"
#include "wizard/maintenance_flow.h"
#include "wizard/page_protocol.h"
#include "wizard/setup_mode.h"
#include "wizard/text_view.h"
#include "wizard/wizard_messages.h"

namespace {

constexpr int kSummaryStep = 2;
constexpr size_t kSummarySize = 4096;

void DropComponent(ComponentSet bit) {
  selectedComponents &= ~bit;
  newComponents = selectedComponents;
}

void ShowSummary(HWND page) {
  char summary[kSummarySize] = "";
  AppendSummaryValue(summary, kSummarySize, IDS_SUMMARY_DESTINATION, setupContext.targetFolder);
  if (updateComponents) {
    payloadArchive.Open("");
    if (payloadArchive.CountMatches(kAdminModuleEntry) == 0) DropComponent(kComponentAdmin);
    if (!PayloadHasSmartCardFiles()) DropComponent(kComponentSC);
    AppendSummaryComponents(summary, kSummarySize, IDS_SUMMARY_COMPONENTS, selectedComponents, true);
  }
  SetText(FindTextView(GetDlgItem(page, IDC_SETTINGS_VIEW)), summary);
}

}  // namespace

INT_PTR CALLBACK UpdateSummaryPage(HWND page, UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/) {
  INT_PTR result = FALSE;
  switch (message) {
    case kMsgPageShown:
      ShowSummary(page);
      return TRUE;
    case kMsgPageBack:
    case kMsgPageNext:
      return TRUE;
    default:
      break;
  }
  if (AnswerPageProtocol(page, message, kModeUpdate, kSummaryStep, &result)) return result;
  return FALSE;
}
