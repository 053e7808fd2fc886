// The ASHOW_CONTROL: a read-only, scrolling text view that tells its page when the user
// scrolls it, resizes it or presses a key in it, so the licence page can tell when the last
// line has been seen.
#pragma once
#include <windows.h>

#include <cstddef>

constexpr char kShowControlClass[] = "ASHOW_CONTROL";

// One per ASHOW_CONTROL window, kept in the host's and the edit's user data.
struct TextView {
  HWND host = nullptr;
  HWND edit = nullptr;
  WNDPROC editProc = nullptr;
  char* text = nullptr;  // owned copy of the text shown
  size_t textSize = 0;   // including the terminating zero
};

// Registers the class unless the instance already has it. Non-zero when it exists afterwards.
int RegisterShowControl(HINSTANCE instance);

// The view of an ASHOW_CONTROL window; nullptr for any other window.
TextView* FindTextView(HWND host);

// Keeps a copy of text and shows it. A view without its edit child only keeps the copy.
void SetText(TextView* view, const char* text);

// 1 when the last line of the text is visible, else 0.
int IsScrolledToEnd(TextView* view);
