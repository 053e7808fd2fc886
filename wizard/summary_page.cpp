// Summary (template 111, step 5): the choices of the earlier pages as text. Back skips the
// Components page unless the setup type is Custom.
#include "sys/globals.h"
#include "core/bounded_string.h"
#include "res/resource.h"
#include "sys/module_instance.h"
#include "wizard/component_lines.h"
#include "wizard/install_flow.h"
#include "wizard/page_protocol.h"
#include "wizard/page_skin.h"
#include "wizard/text_view.h"
#include "wizard/wizard_frame.h"
#include "wizard/wizard_messages.h"

namespace {

constexpr int kSummaryStep = 5;
constexpr size_t kSummarySize = 4096;

UINT SetupTypeName() {
  switch (setupType) {
    case kSetupCustom:
      return IDS_SETUP_CUSTOM;
    case kSetupTypical:
      return IDS_SETUP_TYPICAL;
    default:
      return IDS_SETUP_ADMIN;
  }
}

void ShowSummary(HWND page) {
  char summary[kSummarySize] = "";
  char typeName[kTextBufferSize];
  LoadText(SetupTypeName(), typeName);
  AppendSummaryValue(summary, kSummarySize, IDS_SUMMARY_SETUP_TYPE, typeName);
  AppendSummaryValue(summary, kSummarySize, IDS_SUMMARY_DESTINATION, setupContext.targetFolder);
  AppendSummaryComponents(summary, kSummarySize, IDS_SUMMARY_COMPONENTS, selectedComponents, true);
  SetText(FindTextView(GetDlgItem(page, IDC_SETTINGS_VIEW)), summary);
}

}  // namespace

INT_PTR CALLBACK SummaryPage(HWND page, UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/) {
  INT_PTR result = FALSE;
  switch (message) {
    case kMsgPageShown:
      ShowSummary(page);
      return TRUE;
    case kMsgPageBack:
      if (setupType != kSetupCustom) wizardFrame.SetPendingPage(kSetupTypePageIndex);
      return TRUE;
    case kMsgPageNext:
      return TRUE;
    default:
      break;
  }
  if (AnswerPageProtocol(page, message, kModeInstall, kSummaryStep, &result)) return result;
  return FALSE;
}
