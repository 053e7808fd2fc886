// The question every page asks before the wizard is left early.
#pragma once
#include <windows.h>

#include "wizard/setup_mode.h"

// Asks the flow's cancel question in a message box owned by owner (No is the default). On Yes
// the temporary copy of the setup is scheduled for deletion at the next start of Windows and
// 1 is returned; on No nothing is stored and 0 is returned.
int ConfirmCancel(HWND owner, int mode);
