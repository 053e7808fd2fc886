// Maintenance choice (template 119): the only page of the maintenance wizard until the user
// picks Modify, Update or Uninstall and the page appends that flow. The install script is
// loaded here once, so that a setup without it is refused before any page of Modify or Update
// changes anything.
#include "core/bounded_string.h"
#include "res/resource.h"
#include "sys/globals.h"
#include "sys/module_instance.h"
#include "sys/setup_message.h"
#include "wizard/install_run.h"
#include "wizard/maintenance_flow.h"
#include "wizard/page_protocol.h"
#include "wizard/page_skin.h"
#include "wizard/setup_mode.h"
#include "wizard/wizard_frame.h"
#include "wizard/wizard_messages.h"

namespace {

HFONT titleFont = nullptr;
constexpr char kInstallScript[] = "Setup.cnf";

// Modify and Update reinstall from the script; without it the process ends with exit code 1.
bool ScriptAvailable(HWND page) {
  if (scriptLoaded) return true;
  char text[kTextBufferSize];
  char caption[kTextBufferSize];
  LoadText(IDS_CANNOT_OPEN_ARCHIVE, text);
  LoadText(IDS_MESSAGE_CAPTION, caption);
  ShowSetupMessage(page, text, caption, MB_OK);
  PostQuitMessage(1);
  return false;
}

void AppendChosenFlow(HWND page) {
  if (IsDlgButtonChecked(page, IDC_CHOICE_MODIFY) == BST_CHECKED) {
    ScriptAvailable(page);
    AppendModifyPages();
  } else if (IsDlgButtonChecked(page, IDC_CHOICE_UPDATE) == BST_CHECKED) {
    ScriptAvailable(page);
    AppendUpdatePages();
  } else if (IsDlgButtonChecked(page, IDC_CHOICE_UNINSTALL) == BST_CHECKED) {
    AppendUninstallPages();
  }
}

}  // namespace

INT_PTR CALLBACK MaintenanceChoicePage(HWND page, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  INT_PTR result = FALSE;
  switch (message) {
    case WM_INITDIALOG: {
      titleFont = CreateTitleFont(page, IDC_TITLE);
      char caption[kTextBufferSize];
      LoadText(IDS_FRAME_CAPTION, caption);
      SetWindowTextA(wizardFrame.window, caption);
      SendMessageA(wizardFrame.window, WM_SETICON, ICON_BIG,
                   reinterpret_cast<LPARAM>(LoadIconA(instanceHandle, MAKEINTRESOURCEA(IDI_SETUP))));
      CheckDlgButton(page, IDC_CHOICE_MODIFY, BST_CHECKED);
      scriptLoaded = setupContext.LoadScript(kInstallScript);
      return TRUE;
    }
    case kMsgPageShown:
      wizardFrame.ShowButtons(kButtonNext | kButtonCancel);
      wizardFrame.EnableButtons(kButtonNext | kButtonCancel);
      SetFrameButtonText(kButtonCancel, IDS_BUTTON_EXIT);
      return TRUE;
    case kMsgPageNext:
      AppendChosenFlow(page);
      return TRUE;
    case kMsgQueryCancel:
      // Nothing has been changed yet: Exit ends the wizard without a question.
      SetWindowLongPtrA(page, DWLP_MSGRESULT, 1);
      return TRUE;
    case WM_DESTROY:
      if (titleFont) DeleteObject(titleFont);
      titleFont = nullptr;
      ScheduleCloneDeletion();
      return FALSE;
    default:
      break;
  }
  if (AnswerWindowColour(page, message, wParam, &result)) return result;
  if (AnswerPageProtocol(page, message, kModeInstall, kNoStep, &result)) return result;
  return FALSE;
}
