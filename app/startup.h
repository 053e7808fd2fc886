// The start-up sequence of the setup executable, from the system gates to the choice of flow.
#pragma once
#include <windows.h>

// Runs the setup for the entry point's instance and command-line text (the text after the
// program's path). Returns the process's exit code.
int RunSetup(HINSTANCE instance, const char* commandLineText);
