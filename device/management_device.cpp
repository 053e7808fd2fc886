// The 9x family's management driver: one status request on a handle that lives within one
// card check.
#include <cstdint>
#include <cstring>

#include "device/card_check.h"
#include "device/card_driver_contract.h"
#include "device/device_io.h"

HANDLE managementDevice = INVALID_HANDLE_VALUE;

int ManagementRequest(uint32_t code, void* input, uint32_t inputSize, void* output,
                      uint32_t outputSize) {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (event == nullptr) return 1;
  OVERLAPPED overlapped;
  memset(&overlapped, 0, sizeof overlapped);
  overlapped.hEvent = event;
  DWORD returned = 0;
  int result = 1;
  if (deviceIo.deviceIoControl(managementDevice, code, input, inputSize, output, outputSize,
                               &returned, &overlapped)) {
    result = 0;
  } else if (GetLastError() == ERROR_IO_PENDING) {
    // The driver answers when it can; the request is waited for without limit.
    result = GetOverlappedResult(managementDevice, &overlapped, &returned, TRUE) ? 0 : 1;
  }
  CloseHandle(event);
  return result;
}

int CloseManagementDevice() {
  if (managementDevice != INVALID_HANDLE_VALUE) deviceIo.closeHandle(managementDevice);
  managementDevice = INVALID_HANDLE_VALUE;
  return 0;
}

int QueryManagementDevice(uint32_t* value) {
  managementDevice = deviceIo.createFile(card_driver::kManagementDevicePath, 0, 0, nullptr,
                                         CREATE_NEW,
                                         FILE_FLAG_OVERLAPPED | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (managementDevice == INVALID_HANDLE_VALUE) return 1;
  uint32_t reply[card_driver::kStatusReplyWords] = {};
  if (ManagementRequest(card_driver::kStatusRequest, nullptr, 0, reply, sizeof reply) != 0 ||
      reply[card_driver::kReplyStatus] != 0) {
    CloseManagementDevice();
    return 1;
  }
  if (reply[card_driver::kReplyCardFlag] == 0) return 0;
  *value = reply[card_driver::kReplyValue];
  return 2;
}
