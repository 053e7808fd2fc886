#include "tests/robot/wizard_robot.h"

#include <commctrl.h>
#include <winternl.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <utility>

namespace {

// The frame's Back button, and for each page a control only that page has, or a control and a
// part of its text; the first mark that fits names the page.
constexpr int kBackButton = 1077;
struct PageMark {
  int id;
  const char* text;  // nullptr: the control alone marks the page
  WizardPage page;
};
const PageMark kPageMarks[] = {
    {1041, nullptr, WizardPage::MaintenanceChoice}, {1066, nullptr, WizardPage::UninstallWelcome},
    {1068, nullptr, WizardPage::UpdateOptions},     {1035, nullptr, WizardPage::Uninstalling},
    {1063, nullptr, WizardPage::Updating},          {1027, nullptr, WizardPage::Installing},
    {1060, nullptr, WizardPage::Modifying},         {1032, nullptr, WizardPage::Finish},
    {1030, nullptr, WizardPage::RestartFinish},     {1000, "Modify Wizard", WizardPage::ModifyWelcome},
    {1000, "Update Wizard", WizardPage::UpdateWelcome},
    {1012, "Z614 Modify Wizard", WizardPage::ModifyFinish},
    {1012, "Z614 Update Wizard", WizardPage::UpdateFinish},
    {1012, "Z614 Uninstall Wizard", WizardPage::UninstallFinish},
    {1012, "modifying the installation", WizardPage::ModifySummary},
    {1012, "start updating", WizardPage::UpdateSummary},
    {1012, "start removing", WizardPage::UninstallSummary},
    {1012, "add or clear", WizardPage::ModifyComponents},
    {1001, nullptr, WizardPage::Welcome},  {1008, nullptr, WizardPage::License},
    {1007, nullptr, WizardPage::Folder},   {1019, nullptr, WizardPage::SetupType},
    {1020, nullptr, WizardPage::Components}, {1006, nullptr, WizardPage::Summary},
};

// The first visible dialog-class child of `parent` (of the desktop: nullptr) that `accept` takes.
HWND FindDialog(HWND parent, const std::function<bool(HWND)>& accept) {
  HWND window = nullptr;
  while ((window = FindWindowExA(parent, window, "#32770", nullptr)) != nullptr) {
    if (IsWindowVisible(window) && accept(window)) return window;
  }
  return nullptr;
}

// Memory in the address space of the process that owns a window, for messages whose
// parameters point at memory.
struct RemoteBuffer {
  RemoteBuffer(HWND window, size_t size) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
    const DWORD type = MEM_COMMIT | MEM_RESERVE;
    if (process) address = VirtualAllocEx(process, nullptr, size, type, PAGE_READWRITE);
  }
  ~RemoteBuffer() {
    if (address) VirtualFreeEx(process, address, 0, MEM_RELEASE);
    if (process) CloseHandle(process);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  char* at(size_t offset) const { return static_cast<char*>(address) + offset; }
  bool Write(const void* data, size_t size) const {
    return address && WriteProcessMemory(process, address, data, size, nullptr);
  }

  HANDLE process = nullptr;
  void* address = nullptr;
};

// Texts cross the process boundary as UTF-16, whatever the windows were made with.
std::string Narrow(const wchar_t* text) {
  char narrow[8192] = "";
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
  return narrow;
}

// The command line of a started process, read from its process parameters.
std::string ReadProcessCommandLine(HANDLE process) {
  using QueryFn = LONG(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  static const auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION basic = {};
  PEB peb = {};
  RTL_USER_PROCESS_PARAMETERS parameters = {};
  if (!query || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0 ||
      !ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, nullptr) ||
      !ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters, nullptr)) {
    return "";
  }
  std::wstring wide(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
  ReadProcessMemory(process, parameters.CommandLine.Buffer, &wide[0],
                    parameters.CommandLine.Length, nullptr);
  return Narrow(wide.c_str());
}

bool SetRemoteItemState(HWND list, int row, UINT state, UINT mask) {
  RemoteBuffer remote(list, sizeof(LVITEMA));
  LVITEMA item = {};
  item.stateMask = mask;
  item.state = state;
  return remote.Write(&item, sizeof item) &&
         SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(remote.at(0))) != 0;
}

}  // namespace

bool FollowProcessTree(const std::string& commandLine, DWORD timeoutMs,
                       std::vector<TreeProcess>& processes, const std::function<void()>& tick) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  std::string mutableLine = commandLine;
  if (!CreateProcessA(nullptr, &mutableLine[0], nullptr, nullptr, FALSE, DEBUG_PROCESS, nullptr,
                      nullptr, &startup, &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);

  std::map<DWORD, HANDLE> running;  // handles owned by the debug events
  std::set<DWORD> sawFirstBreakpoint;
  auto entry = [&](DWORD id) -> TreeProcess& {
    return *std::find_if(processes.begin(), processes.end(),
                         [&](const TreeProcess& p) { return p.id == id; });
  };
  const DWORD start = GetTickCount();
  bool started = false;
  while (!started || !running.empty()) {
    if (GetTickCount() - start > timeoutMs) break;
    DEBUG_EVENT event = {};
    if (!WaitForDebugEvent(&event, 50)) {
      tick();
      continue;
    }
    DWORD continueStatus = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT:
        started = true;
        running[event.dwProcessId] = event.u.CreateProcessInfo.hProcess;
        processes.push_back(TreeProcess{event.dwProcessId, "", STILL_ACTIVE, {}});
        if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
      case EXCEPTION_DEBUG_EVENT:
        // The loader's breakpoint comes once the process parameters are in place: the moment
        // to read the command line. Every other exception goes to the program itself.
        if (event.u.Exception.ExceptionRecord.ExceptionCode == EXCEPTION_BREAKPOINT &&
            sawFirstBreakpoint.insert(event.dwProcessId).second) {
          entry(event.dwProcessId).commandLine = ReadProcessCommandLine(running[event.dwProcessId]);
        } else {
          continueStatus = DBG_EXCEPTION_NOT_HANDLED;
        }
        break;
      case EXIT_PROCESS_DEBUG_EVENT:
        entry(event.dwProcessId).exitCode = event.u.ExitProcess.dwExitCode;
        running.erase(event.dwProcessId);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile) {
          char path[MAX_PATH] = "";
          GetFinalPathNameByHandleA(event.u.LoadDll.hFile, path, MAX_PATH, FILE_NAME_NORMALIZED);
          entry(event.dwProcessId).libraries.push_back(path);
          CloseHandle(event.u.LoadDll.hFile);
        }
        break;
      default:
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, continueStatus);
  }
  for (const auto& process : running) DebugActiveProcessStop(process.first);
  return started && running.empty();
}

const char* PageName(WizardPage page) {
  static const char* const kNames[] = {
      "none",           "welcome",           "license",        "folder",
      "setup-type",     "components",        "summary",        "installing",
      "finish",         "restart-finish",    "maintenance",    "modify-welcome",
      "modify-components", "modify-summary", "modifying",      "modify-finish",
      "update-welcome", "update-options",    "update-summary", "updating",
      "update-finish",  "uninstall-welcome", "uninstall-summary", "uninstalling",
      "uninstall-finish", "other"};
  return kNames[static_cast<int>(page)];
}

HWND FindSetupDialog(const std::vector<DWORD>& processIds, bool frame) {
  return FindDialog(nullptr, [&](HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    return (processIds.empty() ||
            std::find(processIds.begin(), processIds.end(), id) != processIds.end()) &&
           frame == (GetDlgItem(window, kBackButton) != nullptr);
  });
}

HWND CurrentPageWindow(HWND frame) {
  return FindDialog(frame, [](HWND) { return true; });
}

WizardPage CurrentPage(HWND frame) {
  HWND page = CurrentPageWindow(frame);
  if (!page) return WizardPage::None;
  for (const PageMark& mark : kPageMarks) {
    HWND control = GetDlgItem(page, mark.id);
    if (!control) continue;
    if (!mark.text || WindowTextOf(control).find(mark.text) != std::string::npos) return mark.page;
  }
  return WizardPage::Other;
}

HWND WaitForWindow(const std::function<HWND()>& probe, DWORD timeoutMs) {
  HWND window = nullptr;
  WaitUntil([&] { return (window = probe()) != nullptr; }, timeoutMs);
  return window;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(50);
  }
}

bool WaitForPage(HWND frame, WizardPage page, DWORD timeoutMs) {
  if (!WaitUntil([&] { return CurrentPage(frame) == page; }, timeoutMs)) return false;
  // The page is shown before it has handled the notice of being shown, which it posts to
  // itself. A message sent to the frame is handled only once the handler that showed the page
  // has returned; a second one, a moment later, after that notice.
  for (int round = 0; round < 2; ++round) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(frame, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored);
    Sleep(20);
  }
  return true;
}

// WM_GETTEXT, not GetWindowText: the edit and list controls of another process keep their text
// themselves, and only the message reaches it.
std::string WindowTextOf(HWND window) {
  std::vector<wchar_t> text(16384, L'\0');
  SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  return Narrow(text.data());
}

std::string ControlText(HWND parent, int id) { return WindowTextOf(GetDlgItem(parent, id)); }

bool ControlEnabled(HWND parent, int id) { return IsWindowEnabled(GetDlgItem(parent, id)) != 0; }

bool ControlChecked(HWND parent, int id) {
  return SendDlgItemMessageA(parent, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool IsDefaultButton(HWND parent, int id) {
  return (GetWindowLongA(GetDlgItem(parent, id), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
}

// GetWindowText sends nothing to a window of another process, so this is safe from the thread
// that debugs the box's process.
ShownMessage ReadMessageBox(HWND box) {
  char caption[1024] = "", text[4096] = "";
  GetWindowTextA(box, caption, sizeof caption);
  GetWindowTextA(GetDlgItem(box, 0xFFFF), text, sizeof text);  // the box's static text
  return {caption, text};
}

bool PressButton(HWND parent, int id) {
  HWND button = GetDlgItem(parent, id);
  if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button)) return false;
  PostMessageA(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  return true;
}

bool ClickButton(HWND parent, int id) {
  HWND button = GetDlgItem(parent, id);
  if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button)) return false;
  // What a click does to an automatic box or radio button, done with messages that cross
  // processes: a box toggles, a radio button takes the mark from the page's other ones.
  const LONG_PTR type = GetWindowLongPtrA(button, GWL_STYLE) & BS_TYPEMASK;
  if (type == BS_AUTORADIOBUTTON) {
    for (HWND other = GetWindow(parent, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
      if ((GetWindowLongPtrA(other, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON) {
        SendMessageA(other, BM_SETCHECK, other == button ? BST_CHECKED : BST_UNCHECKED, 0);
      }
    }
  } else if (type == BS_AUTOCHECKBOX) {
    const LRESULT checked = SendMessageA(button, BM_GETCHECK, 0, 0);
    SendMessageA(button, BM_SETCHECK, checked == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
  }
  PostMessageA(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  return true;
}

void PressKey(HWND window, UINT virtualKey) {
  const UINT scan = MapVirtualKeyA(virtualKey, 0);
  PostMessageA(window, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
  PostMessageA(window, WM_KEYUP, virtualKey, 1 | (scan << 16) | (3u << 30));
}

std::vector<std::string> ListBoxRows(HWND list) {
  std::vector<std::string> rows;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::vector<wchar_t> text(SendMessageW(list, LB_GETTEXTLEN, i, 0) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    rows.push_back(Narrow(text.data()));
  }
  return rows;
}

bool SelectListBoxRow(HWND page, int listId, const std::string& text) {
  HWND list = GetDlgItem(page, listId);
  const std::vector<std::string> rows = ListBoxRows(list);
  const auto found = std::find(rows.begin(), rows.end(), text);
  if (found == rows.end()) return false;
  SendMessageA(list, LB_SETCURSEL, found - rows.begin(), 0);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
  return true;
}

std::vector<std::string> ListViewRows(HWND list) {
  std::vector<std::string> rows;
  char text[512];
  RemoteBuffer remote(list, sizeof(LVITEMA) + sizeof text);
  LVITEMA item = {};
  item.pszText = remote.at(sizeof(LVITEMA));
  item.cchTextMax = sizeof text;
  const LRESULT count = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
  for (LRESULT i = 0; i < count && remote.Write(&item, sizeof item); ++i) {
    SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(remote.at(0)));
    ReadProcessMemory(remote.process, item.pszText, text, sizeof text, nullptr);
    rows.emplace_back(text, std::find(text, text + sizeof text, '\0'));
  }
  return rows;
}

bool ListViewChecked(HWND list, int row) {
  const LRESULT state = SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK);
  return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

bool SetListViewChecked(HWND list, int row, bool checked) {
  return SetRemoteItemState(list, row, INDEXTOSTATEIMAGEMASK(checked ? 2 : 1),
                            LVIS_STATEIMAGEMASK);
}

void SelectListViewRow(HWND list, int row) {
  // A click selects and focuses the row and moves the selection mark to it.
  SetRemoteItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  SendMessageA(list, LVM_SETSELECTIONMARK, 0, row);
}

LRESULT SendWithRemoteText(HWND window, UINT message, WPARAM wParam, const std::string& text) {
  const std::wstring wide(text.begin(), text.end());
  const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  RemoteBuffer remote(window, bytes);
  if (!remote.Write(wide.c_str(), bytes)) return 0;
  return SendMessageW(window, message, wParam, reinterpret_cast<LPARAM>(remote.at(0)));
}

bool SaveWindowBitmap(HWND window, const std::string& path) {
  RECT rect;
  if (!GetWindowRect(window, &rect)) return false;
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, old);

  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  std::vector<char> pixels(stride * static_cast<DWORD>(height));
  GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
            DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  return out.good();
}
