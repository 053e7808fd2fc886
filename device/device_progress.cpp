#include "device/device_progress.h"

#include "core/bounded_string.h"
#include "res/resource.h"
#include "sys/module_instance.h"
#include "wizard/wizard_messages.h"

void ReportDeviceStep(HWND owner, UINT actionTextId) {
  if (owner == nullptr) return;
  char action[kTextBufferSize];
  char product[kTextBufferSize];
  LoadText(actionTextId, action);
  LoadText(IDS_PRODUCT_NAME, product);
  char text[2 * kTextBufferSize];
  CopyText(text, sizeof text, action);
  AppendText(text, sizeof text, product);
  SendMessageA(owner, kMsgProgressText, reinterpret_cast<WPARAM>(text), 0);
  SendMessageA(owner, kMsgItemProgress, 0, 0);
}

void ReportDeviceStepDone(HWND owner) {
  if (owner != nullptr) SendMessageA(owner, kMsgItemProgress, 100, 0);
}
