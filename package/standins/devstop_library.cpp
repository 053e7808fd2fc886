// DevStop.dll: stand-in for the library that removes the card's devices on Windows 98 SE and
// ME. The setup extracts it to the temporary folder and runs it through rundll with the entry
// DEVICE9XREMOVE; the stand-in records the call and removes nothing.
#include <windows.h>

#include "package/standins/standin_log.h"

extern "C" __declspec(dllexport) void CALLBACK DEVICE9XREMOVE(HWND, HINSTANCE, LPSTR arguments,
                                                              int) {
  AppendStandinLog("DevStop.dll", "DEVICE9XREMOVE", arguments);
}
