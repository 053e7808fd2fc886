// The finish pages of Modify and Update: the frame comes to the foreground, Next becomes Finish,
// and the destroyed page schedules the deletion of the temporary copy. A cancel request is not
// answered: the work is done.
#pragma once
#include <windows.h>

// Answers every message of such a page; `font` is the page's own title font.
void AnswerMaintenanceFinish(HWND page, UINT message, WPARAM wParam, HFONT* font, int mode,
                             INT_PTR* result);
