// Uninstall summary (template 135, step 1): the recorded folder and components that go.
#include "res/resource.h"
#include "sys/globals.h"
#include "core/bounded_string.h"
#include "wizard/component_lines.h"
#include "wizard/confirm_cancel.h"
#include "wizard/install_flow.h"
#include "wizard/page_protocol.h"
#include "wizard/text_view.h"
#include "wizard/setup_mode.h"
#include "wizard/wizard_frame.h"
#include "wizard/wizard_messages.h"

namespace {

constexpr int kSummaryStep = 1;
constexpr size_t kSummarySize = 4096;

void ShowSummary(HWND page) {
  char summary[kSummarySize] = "";
  AppendSummaryValue(summary, kSummarySize, IDS_SUMMARY_INSTALLED_FOLDER, setupContext.targetFolder);
  AppendSummaryComponents(summary, kSummarySize, IDS_SUMMARY_INSTALLED_COMPONENTS,
                          selectedComponents, true);
  SetText(FindTextView(GetDlgItem(page, IDC_SETTINGS_VIEW)), summary);
}

}  // namespace

INT_PTR CALLBACK UninstallSummaryPage(HWND page, UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/) {
  INT_PTR result = FALSE;
  switch (message) {
    case kMsgPageShown:
      wizardFrame.EnableButtons(kAllButtons);
      ShowSummary(page);
      return TRUE;
    case kMsgPageBack:
    case kMsgPageNext:
      return TRUE;
    default:
      break;
  }
  if (AnswerPageProtocol(page, message, kModeUninstall, kSummaryStep, &result)) return result;
  return FALSE;
}
