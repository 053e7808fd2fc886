// The test robot: starts a program and follows every process it starts (as a debugger does, to
// see each command line), finds the setup's wizard, its current page and its message boxes,
// reads what the controls show, presses buttons, types keys, waits with a timeout and saves
// screenshots. Works across processes: list views and the folder browser get their buffers in
// the setup's own address space. Tests only; never packed into the product.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct TreeProcess {
  DWORD id = 0;
  std::string commandLine;
  DWORD exitCode = STILL_ACTIVE;
  std::vector<std::string> libraries;  // the path of every DLL the loader mapped into it
};

// Runs commandLine and follows it and every process it starts, the started one first in
// `processes`, until all ended (true) or timeoutMs passed. `tick` runs between debug events,
// about every 50 ms, e.g. to answer a message box.
bool FollowProcessTree(const std::string& commandLine, DWORD timeoutMs,
                       std::vector<TreeProcess>& processes, const std::function<void()>& tick);

// The pages of every flow, told apart by a control only that page has or, where the flows share
// a layout, by the text of its title.
enum class WizardPage {
  None, Welcome, License, Folder, SetupType, Components, Summary, Installing, Finish, RestartFinish,
  MaintenanceChoice, ModifyWelcome, ModifyComponents, ModifySummary, Modifying, ModifyFinish,
  UpdateWelcome, UpdateOptions, UpdateSummary, Updating, UpdateFinish,
  UninstallWelcome, UninstallSummary, Uninstalling, UninstallFinish,
  Other
};
const char* PageName(WizardPage page);

// A visible top-level dialog of the processes (none given: of any process): the wizard frame
// (the dialog with the frame's Back button) or one that is not the frame, such as a message box
// or the folder browser.
HWND FindSetupDialog(const std::vector<DWORD>& processIds, bool frame);
inline HWND FindWizardFrame(const std::vector<DWORD>& ids) { return FindSetupDialog(ids, true); }
inline HWND FindMessageBox(const std::vector<DWORD>& ids) { return FindSetupDialog(ids, false); }
HWND CurrentPageWindow(HWND frame);
WizardPage CurrentPage(HWND frame);

// Each polls every 50 ms until it succeeds or timeoutMs passed (nullptr or false then).
HWND WaitForWindow(const std::function<HWND()>& probe, DWORD timeoutMs);
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);
// Also waits until the page has handled the notice of being shown, which sets its buttons.
bool WaitForPage(HWND frame, WizardPage page, DWORD timeoutMs);

// A window's or control's text as it shows it (asked with WM_GETTEXT).
std::string WindowTextOf(HWND window);
std::string ControlText(HWND parent, int id);
bool ControlEnabled(HWND parent, int id);
// A check box or radio button that shows its check mark.
bool ControlChecked(HWND parent, int id);
bool IsDefaultButton(HWND parent, int id);

struct ShownMessage {
  std::string caption;
  std::string text;
};
ShownMessage ReadMessageBox(HWND box);

// Clicks a button of a frame, page or message box as a user would: refused (false) when the
// button is missing, hidden or disabled.
bool PressButton(HWND parent, int id);
// Clicks a check box or radio button itself, so that it changes its mark and tells its page.
bool ClickButton(HWND parent, int id);
// A key press (down and up) posted to the window. The wizard's message loop sees it as typed,
// so dialog keys (Enter, Escape) act as they would for a user.
void PressKey(HWND window, UINT virtualKey);

// List box rows; selecting one notifies the page as a click would.
std::vector<std::string> ListBoxRows(HWND list);
bool SelectListBoxRow(HWND page, int listId, const std::string& text);

std::vector<std::string> ListViewRows(HWND list);
bool ListViewChecked(HWND list, int row);
bool SetListViewChecked(HWND list, int row, bool checked);
void SelectListViewRow(HWND list, int row);

// Sends a message whose lParam points at a UTF-16 text placed in the window's own process
// (for messages the system does not carry across processes, such as the folder browser's).
LRESULT SendWithRemoteText(HWND window, UINT message, WPARAM wParam, const std::string& text);

// Saves the window as it is on the screen to a 24-bit BMP file.
bool SaveWindowBitmap(HWND window, const std::string& path);
