// The install run: the Installing page, its worker and the two finish pages it chooses from.
#pragma once
#include <windows.h>

// The Installing page's window, stored on every message it receives; the worker takes the
// address of this variable and reads the window once when it starts.
extern HWND installPageWindow;
// The worker thread, nullptr when none runs.
extern HANDLE installThread;

// The worker: registers the product, writes the installation record, stops the card stack,
// runs the install script and the driver steps and starts the card stack. `parameter` is the
// address of the page window variable, or null for a run that tells no window anything.
DWORD WINAPI InstallWorker(LPVOID parameter);

// Template 114, step 6: starts the worker and shows its progress; cannot be cancelled.
INT_PTR CALLBACK InstallingPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// Template 115: read-me and user interface offered; the card works.
INT_PTR CALLBACK FinishPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// Template 110: the machine must restart before the card works.
INT_PTR CALLBACK RestartFinishPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Whether the machine must restart before the card works, asked when the worker is done: the
// card's two functions are not both present and active, or the smart card reader was installed
// on the 9x family, whose drivers load only at the next start.
bool InstallNeedsRestart();

// The entry in the installed-programs list as the worker and the restart finish page write
// it: the product name as key and display name, targetFolder's "UNINSTALL.EXE" as command.
void RegisterProductUninstall();
// SetRunOnce of the temporary copy's deletion under the product name (string 82).
void ScheduleCloneDeletion();

// Appends the record of the product's data files ("*.z6?" in the target folder) to Remove.cnf,
// so that the uninstall takes what the product made there.
void RecordProductDataPattern();
