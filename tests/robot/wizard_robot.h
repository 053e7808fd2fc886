// Driving the setup's wizard from a test the way a user would: find the frame and its current
// page, read what the controls show, press buttons, type keys, answer the message boxes, and
// wait for a page or a window with a timeout. Works across processes: list boxes and list
// views are read with buffers placed in the setup's own address space.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The pages of the Install flow, told apart by a control only that page has.
enum class WizardPage { None, Welcome, License, Folder, SetupType, Components, Summary, Other };
const char* PageName(WizardPage page);

// The visible wizard frame of one of the processes (a dialog with the frame's Back button).
HWND FindWizardFrame(const std::vector<DWORD>& processIds);
// A visible top-level dialog of the processes that is not the frame: a message box.
HWND FindMessageBox(const std::vector<DWORD>& processIds, HWND frame);

// The frame's visible page window, and which page it is.
HWND CurrentPageWindow(HWND frame);
WizardPage IdentifyPage(HWND page);
WizardPage CurrentPage(HWND frame);

// Calls probe every 50 ms until it returns a window or timeoutMs passed.
HWND WaitForWindow(const std::function<HWND()>& probe, DWORD timeoutMs);
// Waits until the frame shows `page`; false on timeout.
bool WaitForPage(HWND frame, WizardPage page, DWORD timeoutMs);
// Waits until the wizard's thread has handled what it posted to itself while showing a page.
void WaitForWizardIdle(HWND window, DWORD timeoutMs);
// Waits until `condition` holds; false on timeout.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// A window's or control's text as it shows it (asked with WM_GETTEXT).
std::string WindowTextOf(HWND window);
std::string ControlText(HWND parent, int id);
bool ControlEnabled(HWND parent, int id);
bool ControlVisible(HWND parent, int id);
// True when the button carries the default push-button style.
bool IsDefaultButton(HWND parent, int id);

// Clicks the frame's button as a user would: refused (false) when it is hidden or disabled.
bool PressFrameButton(HWND frame, int id);
// Clicks a button on a page; refused when hidden or disabled.
bool PressPageButton(HWND page, int id);
// A key press (down and up) posted to the window, as typing into it. The wizard's message
// loop sees it as typed, so dialog keys (Enter, Escape) act as they would for a user.
void PressKey(HWND window, UINT virtualKey);

// List box rows and selection; selecting notifies the page as a click would.
std::vector<std::string> ListBoxRows(HWND list);
bool SelectListBoxRow(HWND page, int listId, const std::string& text);

// List-view rows: text, check mark, selection.
std::vector<std::string> ListViewRows(HWND list);
bool ListViewChecked(HWND list, int row);
bool SetListViewChecked(HWND list, int row, bool checked);
void SelectListViewRow(HWND list, int row);
int ListViewRowOf(HWND list, const std::string& text);

// Sends a message whose lParam points at a UTF-16 text, placed in the window's own process
// (for messages the system does not carry across processes, such as the folder browser's).
LRESULT SendWithRemoteText(HWND window, UINT message, WPARAM wParam, const std::string& text);

// Saves the frame window as it is on the screen to a 24-bit BMP file.
bool SaveWindowBitmap(HWND window, const std::string& path);
