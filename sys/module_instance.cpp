#include "sys/module_instance.h"

#include "res/resource.h"
#include "sys/setup_message.h"

HINSTANCE instanceHandle = nullptr;

int LoadText(UINT id, char* buffer) {
  buffer[0] = '\0';
  const int length = LoadStringA(instanceHandle, id, buffer, kTextBufferSize);
  if (length <= 0) {
    buffer[0] = '\0';
    return 0;
  }
  return length;
}

void ShowProductMessage(UINT textId) {
  char text[kTextBufferSize];
  char caption[kTextBufferSize];
  LoadText(textId, text);
  LoadText(IDS_MESSAGE_CAPTION, caption);
  ShowSetupMessage(nullptr, text, caption, MB_OK);
}
