#include "script/profile_texts.h"

#include "script/registry_import.h"
#include "sys/setup_context.h"

void SetupContext::ApplyProfileTexts(const OwnedList<ProfileText>& list) {
  for (size_t i = 0; i < list.Count(); ++i) {
    const ProfileText& text = *list.At(i);
    if (text.data != nullptr && text.size != 0) {
      ImportRegistryText(reinterpret_cast<const char*>(text.data.get()), text.size);
    }
  }
}
