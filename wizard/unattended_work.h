// The one worker of an unattended run, driven to its end without a question. With /Silent the
// wizard frame shows the flow's progress page alone; with /VerySilent a window that is never
// shown takes the worker's progress messages in its place, so the worker, its card steps and
// its script run exactly as under the page.
#pragma once
#include <windows.h>

#include "core/setup_switches.h"

struct UnattendedWork {
  UINT templateId;                 // the progress page (Installing, Updating, Uninstalling)
  DLGPROC page;                    // its page procedure, which starts the worker when shown
  LPTHREAD_START_ROUTINE worker;   // the worker the page starts
  HANDLE* thread;                  // the page's worker handle, nullptr again once it is done
};

// Returns 0 when the worker has done its work; else the run's exit code: the one the worker
// ended with before changing anything (1603 for a damaged payload), or 1602 when the frame was
// closed while the worker ran.
int RunUnattendedWork(RunVisibility visibility, const UnattendedWork& work);
