// Xescinst.dll: stand-in for the smart card install library of Windows 98 SE and ME. The setup
// extracts it into the INF folder and runs it through rundll with the entry SmartcardInstall,
// the number 9 and the short path of the reader's INF file; the stand-in records the call and
// installs nothing.
#include <windows.h>

#include "package/standins/standin_log.h"

extern "C" __declspec(dllexport) void CALLBACK SmartcardInstall(HWND, HINSTANCE, LPSTR arguments,
                                                                int) {
  AppendStandinLog("Xescinst.dll", "SmartcardInstall", arguments);
}
