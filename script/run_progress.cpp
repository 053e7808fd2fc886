#include "script/run_progress.h"

#include "core/bounded_string.h"
#include "sys/module_instance.h"
#include "wizard/wizard_messages.h"

void RunProgress::StartItem(UINT actionId, const char* path) {
  if (window_ == nullptr) return;
  // The action word (at most 254 characters) and a path or script field of at most 259.
  char text[kTextBufferSize + MAX_PATH];
  LoadText(actionId, text);
  AppendText(text, sizeof text, path != nullptr ? path : "");
  SendMessageA(window_, kMsgProgressText, reinterpret_cast<WPARAM>(text), 0);
  SendMessageA(window_, kMsgItemProgress, 0, 0);
}

void RunProgress::EndItem() {
  ++itemsDone_;
  if (window_ == nullptr) return;
  SendMessageA(window_, kMsgItemProgress, 100, 0);
  const size_t percent = itemsInAll_ != 0 ? 100 * itemsDone_ / itemsInAll_ : 100;
  SendMessageA(window_, kMsgOverallProgress, static_cast<WPARAM>(percent), 0);
}
