// What the administrator's switches say to the person or the log that reads them: the list of
// switches for /?, and the refusal of a run that cannot be done as asked.
#pragma once
#include <windows.h>

#include "core/setup_switches.h"

// The /? box: the switches, the careful answers and the exit codes, with the product caption.
void ShowUsage();

// Tells why the run is refused: string textId with detail (and second) put into its %s, in a
// message box with the product caption, or in the log when the run is unattended. Returns the
// exit code of the refused run: 1603 when unattended, 0 for a run with the wizard.
int RefuseRun(UINT textId, const char* detail, const char* second = "");

// RefuseRun with the text that names what the switches got wrong.
int RefuseSwitches(const SetupSwitches& switches);
