#include "wizard/maintenance_welcome.h"

#include "core/bounded_string.h"
#include "res/resource.h"
#include "sys/globals.h"
#include "wizard/install_flow.h"
#include "wizard/install_record.h"
#include "wizard/maintenance_flow.h"
#include "wizard/page_protocol.h"
#include "wizard/wizard_frame.h"
#include "wizard/wizard_messages.h"

bool AnswerMaintenanceWelcome(HWND page, UINT message, HFONT* font, UINT cancelTextId,
                              INT_PTR* result) {
  *result = TRUE;
  switch (message) {
    case WM_INITDIALOG: {
      *font = CreateTitleFont(page, IDC_TITLE);
      selectedComponents = ReadInstalledComponents();
      newComponents = selectedComponents;
      char folder[MAX_PATH];
      ReadTargetFolder(folder);
      CopyText(setupContext.targetFolder, sizeof setupContext.targetFolder, folder);
      return true;
    }
    case WM_DESTROY:
      if (*font) DeleteObject(*font);
      *font = nullptr;
      *result = FALSE;
      return true;
    case kMsgPageShown:
      wizardFrame.ShowButtons(kAllButtons);
      wizardFrame.EnableButtons(kButtonNext | kButtonCancel);
      if (cancelTextId) SetFrameButtonText(kButtonCancel, cancelTextId);
      return true;
    case kMsgPageNext:
    case kMsgPageBack:
      return true;
    default:
      return false;
  }
}
