// The clone step: the setup never runs its wizard from the file the user started. A plain
// start copies the executable into the temporary folder, starts the copy with /Cloned (or
// /ClonedUninstall for the installed uninstaller) and the started file's path, and ends.
#pragma once

// Sweeps idle copies of earlier runs, makes and starts the new copy, and deletes the copy
// named by a pending RunOnce self-delete command. commandLineText is the started process's
// command line after the program path; it is passed on behind the switch's value.
void CloneAndRestart(const char* commandLineText);
