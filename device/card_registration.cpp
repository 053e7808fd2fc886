// Whether the system has registered the card's functions: the enumeration keys of its
// instances carry their class and driver once the drivers were installed for them.
#include "device/card_driver_contract.h"
#include "device/card_names.h"
#include "device/driver_steps.h"
#include "sys/module_instance.h"
#include "sys/os_version.h"

int CardRegistrationComplete() {
  const char* const format =
      IsWin9x() ? card_driver::kPcCardInstanceKey9x : card_driver::kPcCardInstanceKeyNT;
  const char* const values[] = {card_driver::kClassGuidValue, card_driver::kClassValue,
                                card_driver::kDriverValue};
  int found = 0;
  for (int instance = 0; instance < card_driver::kPcCardInstanceCount; ++instance) {
    char path[MAX_PATH];
    if (!FormatWithDeviceIdAndNumber(format, instance, path, sizeof path)) return 0;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) continue;
    for (const char* value : values) {
      char data[kTextBufferSize];
      DWORD size = sizeof data;
      if (RegQueryValueExA(key, value, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) ==
              ERROR_SUCCESS &&
          size > 0) {
        ++found;
      }
    }
    RegCloseKey(key);
  }
  return found >= card_driver::kRegistrationValuesNeeded ? 1 : 0;
}
