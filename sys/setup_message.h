// Every message box of the setup goes through here, so the log records each one, and an
// unattended run (a silent switch) never stops at a box nobody will answer.
#pragma once
#include <windows.h>

// Shows the box (MessageBoxA with these arguments) and logs it with its answer. When the run is
// unattended the box is not shown: it is logged as suppressed and the careful answer for its
// buttons is returned (UnattendedAnswer).
int ShowSetupMessage(HWND owner, const char* text, const char* caption, unsigned int type);

// As ShowSetupMessage, but an unattended run answers unattendedAnswer (IDYES, IDRETRY, ...),
// for a question whose careful answer is not the one its buttons suggest.
int ShowSetupMessageOr(HWND owner, const char* text, const char* caption, unsigned int type,
                       int unattendedAnswer);

// The answer an administrator who reads nothing wants: never the one that goes on with a
// change; IDOK for a box that only informs, IDNO for Yes/No, IDCANCEL for a box with Cancel,
// IDABORT for Abort/Retry/Ignore.
int UnattendedAnswer(unsigned int type);

// Set once by start-up when a silent switch is present.
void SetUnattended(int on);
int IsUnattended();
