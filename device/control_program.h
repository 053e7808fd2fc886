// The product's control program in the target folder, which holds the card while it runs.
#pragma once

// Starts "<target folder>\<model>CTL.exe" hidden with the argument (kControlRelease or
// kControlTake of the driver contract). Returns the launcher's result (0 when started).
unsigned long TellControlProgram(const char* argument);
