#include "device/card_names.h"

#include <windows.h>

#include <cstdio>

#include "device/card_driver_contract.h"
#include "res/resource.h"
#include "sys/module_instance.h"

namespace {

// The snprintf result as the helpers report it: 1 when the whole text fit, else an empty text.
int Fits(int length, char* text, size_t cap) {
  if (length > 0 && static_cast<size_t>(length) < cap) return 1;
  if (cap > 0) text[0] = '\0';
  return 0;
}

}  // namespace

int FormatWithDeviceIdAndNumber(const char* format, int number, char* text, size_t cap) {
  char deviceId[kTextBufferSize];
  if (cap > 0) text[0] = '\0';
  if (LoadText(IDS_CARD_DEVICE_ID, deviceId) == 0) return 0;
  return Fits(std::snprintf(text, cap, format, deviceId, number), text, cap);
}

int FormatPcCardInstance(int instance, char* id, size_t cap) {
  return FormatWithDeviceIdAndNumber(card_driver::kPcCardInstanceFormat, instance, id, cap);
}

int FormatNumberedKey(const char* format, int number, bool byDeviceId, char* text, size_t cap) {
  char name[kTextBufferSize];
  if (cap > 0) text[0] = '\0';
  if (LoadText(byDeviceId ? IDS_CARD_DEVICE_ID : IDS_MODEL_NAME, name) == 0) return 0;
  return Fits(std::snprintf(text, cap, format, number, name), text, cap);
}
