// mod_adm.dll: stand-in for the connection manager's administrator module. Its presence in the
// payload is what makes the setup offer the Administrator setup type; the user interface
// would load it and open the module through AdminModule, which the stand-in records.
#include <windows.h>

#include "package/standins/standin_log.h"

extern "C" __declspec(dllexport) BOOL WINAPI AdminModule(HWND) {
  AppendStandinLog("mod_adm.dll", "AdminModule", "");
  return TRUE;
}
