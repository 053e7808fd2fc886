// The module instance of the running executable and the string-table access that every
// part of the setup uses.
#pragma once
#include <windows.h>

// Set by the entry point before anything loads a resource; resource loads with a null
// instance read the running executable's own resources, which is the same module.
extern HINSTANCE instanceHandle;

// String-table texts are loaded into buffers of 255 characters: at most 254 characters and
// the terminating zero.
constexpr int kTextBufferSize = 255;

// Loads string `id` into buffer (kTextBufferSize bytes). Returns the length loaded; on a
// failed load the buffer holds the empty string and 0 is returned.
int LoadText(UINT id, char* buffer);

// Shows the text of string `textId` with the product caption (string 62), an OK button and
// no owner window: the form of the setup's error and information messages.
void ShowProductMessage(UINT textId);
