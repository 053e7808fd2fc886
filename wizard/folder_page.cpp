// Folder (template 109, step 2): the target folder, offered under Program Files; Browse
// accepts only a folder that can be created and written to, and refuses others silently.
#include <shlwapi.h>

#include "sys/globals.h"
#include "core/bounded_string.h"
#include "res/resource.h"
#include "sys/folder_browser.h"
#include "sys/folder_probe.h"
#include "wizard/install_flow.h"
#include "wizard/page_protocol.h"
#include "wizard/page_skin.h"
#include "wizard/wizard_frame.h"
#include "wizard/wizard_messages.h"

namespace {

constexpr int kFolderStep = 2;

void ShowTargetFolder(HWND page) {
  HWND pathControl = GetDlgItem(page, IDC_FOLDER_PATH);
  char shown[MAX_PATH];
  CopyText(shown, sizeof shown, setupContext.targetFolder);
  RECT client = {};
  GetClientRect(pathControl, &client);
  if (HDC dc = GetDC(page)) {
    PathCompactPathA(dc, shown, static_cast<UINT>(client.right - client.left));
    ReleaseDC(page, dc);
  }
  SetWindowTextA(pathControl, shown);
}

void Browse(HWND page) {
  char chosen[MAX_PATH];
  CopyText(chosen, sizeof chosen, setupContext.targetFolder);
  // Each probe removes whatever it created, so a refused or unused choice leaves no trace.
  if (BrowseForFolder(page, chosen) && CanCreateFolder(chosen) && CanWriteToFolder(chosen)) {
    CopyText(setupContext.targetFolder, sizeof setupContext.targetFolder, chosen);
    PathSetDlgItemPathA(page, IDC_FOLDER_PATH, setupContext.targetFolder);
  }
  wizardFrame.SetDefaultButton(kButtonNext);
}

}  // namespace

INT_PTR CALLBACK FolderPage(HWND page, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  INT_PTR result = FALSE;
  switch (message) {
    case WM_INITDIALOG:
      setupContext.UseDefaultTargetFolder();
      ShowTargetFolder(page);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_BROWSE && HIWORD(wParam) == BN_CLICKED) Browse(page);
      return TRUE;
    case kMsgPageShown:
      // The enabled state stays as the licence page left it.
      SetFrameButtonText(kButtonNext, IDS_BUTTON_NEXT);
      SetFrameButtonText(kButtonCancel, IDS_BUTTON_CANCEL);
      wizardFrame.SetDefaultButton(kButtonNext);
      return TRUE;
    default:
      break;
  }
  if (AnswerPageProtocol(page, message, kModeInstall, kFolderStep, &result)) return result;
  return FALSE;
}
