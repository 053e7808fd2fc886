// Start of the stand-in programs without the C runtime, so that they import kernel32 and
// user32 alone, as every image in the payload must: the entry hands WinMain what the runtime
// would and ends the process with its result.
#include <windows.h>

#include "package/standins/standin_log.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

extern "C" void WINAPI StandinStart() {
  STARTUPINFOA startup;
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
  ExitProcess(static_cast<UINT>(WinMain(GetModuleHandleA(nullptr), nullptr,
                                        const_cast<LPSTR>(StandinArguments()), show)));
}
