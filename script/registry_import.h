// The registry text import: REGEDIT4 texts applied to the real registry without any
// outside tool. The parsing lives in core/regedit_text.h; this writes through a registry sink
// that creates keys with RegCreateKeyExA and sets values with RegSetValueExA.
#pragma once
#include <cstddef>

// Reads the file whole and applies it with ImportRegistryText; nothing happens when the file
// cannot be read.
void ImportRegistryFile(const char* path);

// Applies a registry text held in memory (size bytes, no terminator needed). Stops at the first
// key line without backslash, with an unknown root, or whose key cannot be created; values
// written before stay. Nothing is reported.
void ImportRegistryText(const char* text, size_t size);
