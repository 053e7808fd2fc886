// What every page of every flow answers in the same way, so each page procedure only holds
// what is its own. Each helper returns true when it answered the message, with the dialog
// procedure's result in *result.
#pragma once
#include <windows.h>

// WM_PAINT through the PageSkin with the flow's step list and the page's step, WM_NEXTDLGCTL,
// WM_COMMAND (after the page's own handling) and QueryCancel with the flow's cancel question.
bool AnswerPageProtocol(HWND page, UINT message, int list, int step, INT_PTR* result);

// Welcome and finish pages stand on the window colour: their background and static texts.
bool AnswerWindowColour(HWND page, UINT message, WPARAM wParam, INT_PTR* result);

// The bold 12-point Verdana of page titles, set on the control titleId. The page deletes the
// font when it is destroyed.
HFONT CreateTitleFont(HWND page, int titleId);

// Sets the caption of the frame button `bit` from string `textId`.
void SetFrameButtonText(UINT bit, UINT textId);

// The buttons of every finish page: Back shown but disabled, Next enabled and named Finish.
void ShowFinishButtons();
