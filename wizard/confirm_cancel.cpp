#include "wizard/confirm_cancel.h"

#include "sys/globals.h"
#include "res/resource.h"
#include "sys/module_instance.h"
#include "sys/run_once.h"
#include "sys/setup_message.h"

namespace {

struct CancelTexts {
  UINT text;
  UINT caption;
};

// Indexed by SetupMode.
constexpr CancelTexts kCancelTexts[kSetupModeCount] = {
    {IDS_CONFIRM_INSTALL, IDS_CONFIRM_INSTALL_CAPTION},
    {IDS_CONFIRM_MODIFY, IDS_CONFIRM_MODIFY_CAPTION},
    {IDS_CONFIRM_UPDATE, IDS_CONFIRM_UPDATE_CAPTION},
    {IDS_CONFIRM_UNINSTALL, IDS_CONFIRM_UNINSTALL_CAPTION},
};

}  // namespace

int ConfirmCancel(HWND owner, int mode) {
  if (mode < 0 || mode >= kSetupModeCount) return 0;
  char text[kTextBufferSize];
  char caption[kTextBufferSize];
  LoadText(kCancelTexts[mode].text, text);
  LoadText(kCancelTexts[mode].caption, caption);
  // 0x134: Yes and No, the exclamation icon, No as the default answer.
  if (ShowSetupMessage(owner, text, caption, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) !=
      IDYES) {
    return 0;
  }
  // The wizard ends now; the running temporary copy cannot delete itself, so Windows does it.
  char valueName[kTextBufferSize];
  LoadText(IDS_PRODUCT_NAME, valueName);
  SetRunOnce(valueName, setupContext.deleteCloneCommand);
  return 1;
}
