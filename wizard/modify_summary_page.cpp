// Modify summary (template 123, step 2): the folder, the components that go and those that come.
#include <shlwapi.h>

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

void AppendChange(char* summary, UINT heading, ComponentSet components) {
  if (!components) return;
  AppendSummaryComponents(summary, kSummarySize, heading, components, false);
  AppendText(summary, kSummarySize, "\r\n");
}

void ShowSummary(HWND page) {
  char summary[kSummarySize] = "";
  char folder[MAX_PATH];
  CopyText(folder, sizeof folder, setupContext.targetFolder);
  // Quoting needs two more characters; a folder without room for them is shown as it is.
  if (lstrlenA(folder) + 2 < MAX_PATH) PathQuoteSpacesA(folder);
  AppendSummaryValue(summary, kSummarySize, IDS_SUMMARY_INSTALLED_FOLDER, folder);
  AppendChange(summary, IDS_SUMMARY_REMOVED_COMPONENTS, selectedComponents & ~newComponents);
  AppendChange(summary, IDS_SUMMARY_ADDED_COMPONENTS, newComponents & ~selectedComponents);
  SetText(FindTextView(GetDlgItem(page, IDC_SETTINGS_VIEW)), summary);
}

}  // namespace

INT_PTR CALLBACK ModifySummaryPage(HWND page, UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/) {
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
  if (AnswerPageProtocol(page, message, kModeModify, kSummaryStep, &result)) return result;
  return FALSE;
}
