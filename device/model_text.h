// Names formed from the model name (string 95, "Z614") and the card's device ID (string 94).
#pragma once
#include <cstddef>

// Fills the "%s" of format with the model name into text (capacity cap). Returns 1 when the
// name loaded and the whole result fit, else 0 (text then holds nothing to be used).
int FormatWithModel(const char* format, char* text, size_t cap);

// The same with the card's PC-card device ID ("Xelta-Z614-D9EE").
int FormatWithDeviceId(const char* format, char* text, size_t cap);
