// Entry of the stand-in libraries without the C runtime: nothing to set up or tear down.
#include <windows.h>

extern "C" BOOL WINAPI StandinLibraryEntry(HINSTANCE, DWORD, LPVOID) { return TRUE; }
