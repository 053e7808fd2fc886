// The card's names as the device steps build them from the string table.
#pragma once
#include <cstddef>

// "PCMCIA\<device ID>\<instance>" into id (capacity cap). 1 when the ID loaded and fit.
int FormatPcCardInstance(int instance, char* id, size_t cap);

// The format with its "%s" the device ID and its "%d" the instance (a registry key of an
// instance). 1 when it loaded and fit.
int FormatWithDeviceIdAndNumber(const char* format, int number, char* text, size_t cap);

// The format with its "%04d" the number and its "%s" the device ID or the model name.
int FormatNumberedKey(const char* format, int number, bool byDeviceId, char* text, size_t cap);
