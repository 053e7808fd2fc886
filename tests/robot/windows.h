// Finding and answering the setup's windows from a test: message boxes, their texts and
// buttons. Every lookup is by process, so windows of the test itself never match.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct ShownMessage {
  HWND window = nullptr;
  std::string caption;
  std::string text;
};

// The first visible dialog-class top-level window owned by one of the given processes.
HWND FindProcessDialog(const std::vector<DWORD>& processIds);

// Caption and text of a message box (its text is the static control 0xFFFF).
ShownMessage ReadMessageBox(HWND window);

// Presses the message box's button with the given id (IDOK, IDYES, IDNO, ...).
void PressDialogButton(HWND window, int id);

std::string WindowText(HWND window);
