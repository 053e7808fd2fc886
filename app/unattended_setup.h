// The unattended runs that the administrator's switches ask for: Install when the product is
// not installed, Update or Uninstall when it is.
#pragma once
#include "core/setup_switches.h"

// Whether the run can go as asked, checked before anything is changed (the started file checks
// before it makes its copy, the copy again): Update and Uninstall need an installed product,
// Install one that is not installed, with choices this setup and this machine allow. Returns 1,
// or 0 with the refusal's exit code in *exitCode.
int CheckUnattendedRun(const SetupSwitches& switches, int* exitCode);

// Checks, then runs the chosen flow to its end. startedUninstaller is the installed uninstaller
// that started the run and waits for it, nullptr for another start. Returns the run's exit code.
int RunUnattended(const SetupSwitches& switches, const char* startedUninstaller);
