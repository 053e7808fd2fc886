// What the Modifying, Updating and Uninstalling pages share: the colour of their bars, the
// worker started when the page is shown, and the progress it reports.
#pragma once
#include <windows.h>

struct WorkPage {
  int statusId;     // the current action's text
  int itemBarId;    // progress of the current item
  LPTHREAD_START_ROUTINE worker;
  HWND* window;     // the page's window; the worker gets its address
  HANDLE* thread;   // the worker's handle, nullptr when none runs
};

// Answers WM_INITDIALOG (bars coloured and at 0), PageShown (Cancel hidden, every button
// disabled, the worker started), the three progress messages and WorkDone (handle closed, on to
// the next page). Returns true when it answered, with the result in *result.
bool AnswerWorkPage(const WorkPage& work, HWND page, UINT message, WPARAM wParam,
                    INT_PTR* result);
