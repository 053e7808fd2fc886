// Shortcut files made through the shell's own link object.
#pragma once

// Creates the shortcut file link pointing at target, with description, show command
// SW_SHOWNORMAL and, unless iconIndex is -1, the icon iconIndex of iconFile. No working
// folder, arguments or hot key are set. COM is initialised for the calling thread and left
// initialised. Returns 1 when the shortcut was saved.
int CreateShellLink(const char* link, const char* target, const char* description,
                    const char* iconFile, int iconIndex);
