// The shell's folder browser as the Folder page shows it: the user may pick a folder or type
// the name of one that does not exist yet.
#pragma once
#include <windows.h>

// Shows the folder browser owned by owner, starting at path (MAX_PATH bytes, in/out).
// Returns 1 with the chosen or typed folder in path; 0 when the user cancelled (path is then
// unchanged). Runs on the wizard's thread only: the browser and its callback share two
// process-wide path buffers.
int BrowseForFolder(HWND owner, char* path);

// The browser's callback. The shell calls it while BrowseForFolder runs; it is declared here so
// that a typed name can be handed to it where a shell does not validate typed names itself.
int CALLBACK FolderBrowserCallback(HWND browser, UINT message, LPARAM param, LPARAM data);
