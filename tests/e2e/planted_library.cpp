// A DLL with no exports, planted under the names of the libraries the setup binds at run time.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
