#include "device/model_text.h"

#include <windows.h>

#include <cstdio>

#include "res/resource.h"
#include "sys/module_instance.h"

namespace {

int FormatWithText(UINT textId, const char* format, char* text, size_t cap) {
  char loaded[kTextBufferSize];
  if (cap > 0) text[0] = '\0';
  if (LoadText(textId, loaded) == 0) return 0;
  const int length = std::snprintf(text, cap, format, loaded);
  if (length > 0 && static_cast<size_t>(length) < cap) return 1;
  if (cap > 0) text[0] = '\0';
  return 0;
}

}  // namespace

int FormatWithModel(const char* format, char* text, size_t cap) {
  return FormatWithText(IDS_MODEL_NAME, format, text, cap);
}

int FormatWithDeviceId(const char* format, char* text, size_t cap) {
  return FormatWithText(IDS_CARD_DEVICE_ID, format, text, cap);
}
