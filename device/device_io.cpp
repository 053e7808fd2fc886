#include "device/device_io.h"

DeviceIoCalls deviceIo = {CreateFileA, DeviceIoControl, CloseHandle};
