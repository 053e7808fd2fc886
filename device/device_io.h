// The device I/O calls of the card check, reached through one table. The 9x family's bus and
// management devices exist only where the card's drivers are installed; the table lets the
// Windows-side tests answer for them. The setup itself never changes it.
#pragma once
#include <windows.h>

struct DeviceIoCalls {
  decltype(&CreateFileA) createFile;
  decltype(&DeviceIoControl) deviceIoControl;
  decltype(&CloseHandle) closeHandle;
};

// The system's own calls unless a test puts others in.
extern DeviceIoCalls deviceIo;
