// The two modal dialogs that wait on the card while a worker installs or removes its software.
// Both run in the calling thread, owned by the progress page, with one-second timers.
#pragma once
#include <windows.h>

// Waits until the card is fully present (its two functions active and the "GPRS" entry
// ready) or the user presses Cancel; ends with 0 either way.
INT_PTR CALLBACK InsertCardDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Waits until the card is gone or the user presses Cancel, showing how much of it is still
// there; ends with 0 either way.
INT_PTR CALLBACK RemoveCardDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Opens the insert-card dialog over owner: template 126 on the 9x family, 10105 on the NT
// family, whose text adds the note about the supported systems.
void ShowInsertCardDialog(HWND owner);
// Opens the remove-card dialog (template 136) over owner.
void ShowRemoveCardDialog(HWND owner);
