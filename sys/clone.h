// The clone step: the setup never runs its wizard from the file the user started. A plain
// start copies the executable into the temporary folder, starts the copy with /Cloned (or
// /ClonedUninstall for the installed uninstaller) and the started file's path, and ends.
#pragma once

// Sweeps idle copies of earlier runs, makes and starts the new copy, and deletes the copy
// named by a pending RunOnce self-delete command. commandLineText is the started process's
// command line after the program path; it is passed on behind the switch's value.
// Returns 0; with waitForCopy (an unattended run, whose caller reads the started process's
// exit code) it waits until the copy ends and returns the copy's exit code, or 1603 when the
// copy could not be made or started.
int CloneAndRestart(const char* commandLineText, int waitForCopy);

// The installed uninstaller that started an unattended Update or Uninstall waits for its copy to
// end, so its file is in use while the copy replaces or removes the installation that holds it.
// A running program's file cannot be deleted or overwritten, but it can be renamed: it goes to
// the temporary folder under a copy's name ("Del....tmp"), where the next plain start sweeps it
// with the other idle copies. Returns 1 when the file was moved.
int MoveStartedFileAside(const char* startedFile);
