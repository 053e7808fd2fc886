// The Install, Update and Uninstall flows of an unattended run: the pages' choices taken from
// the administrator's switches, the flow's worker driven to its end, and what the finish page
// does when the wizard ends. Each refusal tells why (a message box, or the log when unattended)
// and changes nothing on the machine.
#pragma once
#include "core/setup_switches.h"

// The Install pages' choices from the switches: targetFolder (the default folder when /Folder
// is absent), setupType and selectedComponents (Typical when neither /Type nor /Components is
// given). Refuses a component the payload or the system does not offer (the Components page
// would not let it be chosen) and a folder that cannot be created or written to. Returns 1
// when the install can run, else 0 with *exitCode set.
int TakeInstallChoices(const SetupSwitches& switches, int* exitCode);

// The Installing page alone, or no page at all; then the finish page's work without its
// questions: no read-me, no user interface, and the restart only when /NoRestart is absent.
// Returns 0, 3010 when the machine must restart before the card works, 1603 when the payload
// is damaged (nothing changed), 1602 when cancelled.
int RunUnattendedInstall(const SetupSwitches& switches);

// The Update welcome, options and summary pages' choices from /Update, then the Updating page
// alone or no page. startedUninstaller is the installed uninstaller the run was started from,
// which waits for this run (nullptr for another start); it is moved aside before the work.
// Returns 0, or 1603 when the install script or anything to update is missing or the payload
// is damaged, 1602 when cancelled.
int RunUnattendedUpdate(const SetupSwitches& switches, const char* startedUninstaller);

// The Uninstall welcome page's choices from /KeepSettings and /KeepSmsData (each kept only
// when asked for), then the Uninstalling page alone or no page, and the finish page's work.
// startedUninstaller as for the Update. Returns 0, or 1602 when cancelled.
int RunUnattendedUninstall(const SetupSwitches& switches, const char* startedUninstaller);
