// Shortening of the path lines a working page shows, so that each fits its window's width.
#pragma once
#include <windows.h>

#include <cstddef>

// Capacity of the texts the working pages show.
constexpr size_t kCompactTextSize = 4096;

// Splits text (capacity bytes, at most kCompactTextSize are used) into lines at CR, LF or
// CR LF, shortens each line to the client width of window by putting an ellipsis in place of
// middle path components, and writes the lines back, each followed by a line feed. Lines are
// taken up to 255 characters. Returns 1 on success, also for an empty text; 0 when the window
// or text is missing or no drawing context can be had.
int CompactLinesToWidth(HWND window, char* text, size_t capacity);
