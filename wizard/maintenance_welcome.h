// The welcome pages of Modify and Update: the recorded installation is read when the page is
// made, and Back stays disabled so the choice page is not shown again.
#pragma once
#include <windows.h>

// Answers WM_INITDIALOG (title font, installed set into selectedComponents and newComponents,
// recorded folder as targetFolder), WM_DESTROY (font deleted) and PageShown (all buttons shown,
// Next and Cancel enabled; Cancel captioned cancelTextId unless it is 0). `font` is the page's
// own. Returns true when it answered, with the result in *result.
bool AnswerMaintenanceWelcome(HWND page, UINT message, HFONT* font, UINT cancelTextId,
                              INT_PTR* result);
