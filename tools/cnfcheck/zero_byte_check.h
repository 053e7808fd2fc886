// Zero bytes inside lines. The setup holds each line as a zero-terminated text, so it reads a
// line only up to its first zero byte: a REG_SZ value, a destination or a key is cut there
// without a word. No field check can see this, as the fields are read from the cut line.
#pragma once
#include <cstddef>

#include "tools/cnfcheck/check_warning.h"

// Warns once for every line of text (lines as the loader splits them) that holds a zero byte
// within its first 4095 characters, the part the setup reads.
void CheckZeroBytes(const char* text, size_t size, WarningList* warnings);
