// CheckCard: the card's state from the traces of its drivers and the dial-up entry.
#include "device/card_check.h"

#include <cstdio>

#include "device/card_driver_contract.h"
#include "device/device_io.h"
#include "device/gprs_entry.h"
#include "res/resource.h"
#include "sys/module_instance.h"
#include "sys/os_version.h"
#include "sys/setup_log.h"

namespace {

// NT family: registeredBit when the function's Enum key opens, activeBit when its "Count"
// reads into 4 bytes and is above 0.
CardState FunctionBits(const char* keyFormat, const char* model, CardState registeredBit,
                       CardState activeBit) {
  char path[MAX_PATH];
  if (snprintf(path, sizeof path, keyFormat, model) >= static_cast<int>(sizeof path)) return 0;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return 0;
  CardState bits = registeredBit;
  DWORD count = 0;
  DWORD size = sizeof count;
  if (RegQueryValueExA(key, card_driver::kEnumCountValue, nullptr, nullptr,
                       reinterpret_cast<BYTE*>(&count), &size) == ERROR_SUCCESS &&
      count > 0) {
    bits |= activeBit;
  }
  RegCloseKey(key);
  return bits;
}

// 9x family: the bus device opens while the card's first function is there; the management
// driver tells about the second.
CardState DeviceBits9x(const char* model) {
  CardState bits = 0;
  char path[MAX_PATH];
  if (snprintf(path, sizeof path, card_driver::kBusDevicePath, model) < static_cast<int>(sizeof path)) {
    HANDLE bus = deviceIo.createFile(path, 0, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (bus != INVALID_HANDLE_VALUE) {
      deviceIo.closeHandle(bus);
      bits |= 3;
    }
  }
  uint32_t value = 0;
  switch (QueryManagementDevice(&value)) {
    case 2:
      bits |= 12;
      CloseManagementDevice();
      break;
    case 0:
      CloseManagementDevice();
      break;
    default:
      break;  // the handle is already invalid
  }
  return bits;
}

}  // namespace

// The error code is set to 0 and to nothing else: a failure to create the dial-up entry only
// leaves bit 16 clear, and the insert-card dialog keeps waiting until the user cancels.
CardState CheckCard(int32_t* errorCode) {
  *errorCode = 0;
  char model[kTextBufferSize];
  LoadText(IDS_MODEL_NAME, model);
  CardState state = 0;
  if (IsWinNT()) {
    state |= FunctionBits(card_driver::kModemEnumKey, model, 1, 2);
    state |= FunctionBits(card_driver::kNetworkEnumKey, model, 4, 8);
  } else if (IsWin9x()) {
    state |= DeviceBits9x(model);
  }
  if (EnsureGprsEntry() != 0) state |= 16;
  LogAction("Card check: state 0x%02lX", static_cast<unsigned long>(state));
  return state;
}
