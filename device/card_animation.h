// The card animation (resource 132) of the card dialogs, on the dialog's face colour.
#pragma once
#include <windows.h>

// Opens the animation in the dialog's animation control; it plays by itself.
void StartCardAnimation(HWND dialog);
// Closes it again (an open with no resource), which stops the playing.
void StopCardAnimation(HWND dialog);
// The answer to WM_CTLCOLORSTATIC: for the animation control, the face colour as background
// (the transparent frames stand on it) and its brush, which the control fills with; for any
// other control, 0 (the dialog's default colours).
INT_PTR CardAnimationBackground(HWND dialog, HDC dc, HWND control, int faceColour);
