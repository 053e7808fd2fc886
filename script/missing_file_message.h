// The one message of a script run: a file the script names is not in the package.
#pragma once
#include <windows.h>

// Shows "The file is not in the package: " (string 64) followed by name, captioned with the
// product name (string 62), owned by window, with an OK button. Shown only when a window is
// given: a run without a page to report to works silently.
void ShowMissingFileMessage(HWND window, const char* name);
