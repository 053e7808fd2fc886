#include "script/missing_file_message.h"

#include "core/bounded_string.h"
#include "res/resource.h"
#include "sys/module_instance.h"
#include "sys/setup_message.h"

void ShowMissingFileMessage(HWND window, const char* name) {
  if (window == nullptr) return;
  // The message text (at most 254 characters) and an entry name or path of at most 259.
  char text[kTextBufferSize + MAX_PATH];
  char caption[kTextBufferSize];
  LoadText(IDS_FILE_NOT_IN_PACKAGE, text);
  AppendText(text, sizeof text, name != nullptr ? name : "");
  LoadText(IDS_MESSAGE_CAPTION, caption);
  ShowSetupMessage(window, text, caption, MB_OK);
}
