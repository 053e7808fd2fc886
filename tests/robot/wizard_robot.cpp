#include "tests/robot/wizard_robot.h"

#include <commctrl.h>

#include <algorithm>
#include <fstream>
#include <utility>

namespace {

// The frame's Back button, and for each page a control only that page has.
constexpr int kBackButton = 1077;
constexpr std::pair<int, WizardPage> kPageMarks[] = {
    {1001, WizardPage::Welcome},    {1008, WizardPage::License}, {1007, WizardPage::Folder},
    {1019, WizardPage::SetupType}, {1020, WizardPage::Components}, {1006, WizardPage::Summary},
};

bool IsVisibleDialog(HWND window) {
  char className[64] = "";
  GetClassNameA(window, className, sizeof className);
  return IsWindowVisible(window) && lstrcmpA(className, "#32770") == 0;
}

struct TopSearch {
  const std::vector<DWORD>* processIds;
  bool wantFrame;
  HWND found;
};

BOOL CALLBACK MatchTopDialog(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<TopSearch*>(lParam);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  const auto& ids = *search->processIds;
  if (std::find(ids.begin(), ids.end(), processId) == ids.end()) return TRUE;
  if (!IsVisibleDialog(window)) return TRUE;
  if (search->wantFrame != (GetDlgItem(window, kBackButton) != nullptr)) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindTopDialog(const std::vector<DWORD>& processIds, bool frame) {
  TopSearch search = {&processIds, frame, nullptr};
  EnumWindows(MatchTopDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BOOL CALLBACK MatchPage(HWND window, LPARAM lParam) {
  if (!IsVisibleDialog(window)) return TRUE;
  *reinterpret_cast<HWND*>(lParam) = window;
  return FALSE;
}

// A buffer in the address space of the process that owns a window, for messages whose
// parameters point at memory.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, size_t size) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                           processId);
    if (process_) {
      address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE,
                                PAGE_READWRITE);
    }
  }
  ~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  bool ok() const { return address_ != nullptr; }
  char* at(size_t offset) const { return static_cast<char*>(address_) + offset; }
  bool Write(size_t offset, const void* data, size_t size) const {
    return WriteProcessMemory(process_, at(offset), data, size, nullptr) != 0;
  }
  bool Read(size_t offset, void* data, size_t size) const {
    return ReadProcessMemory(process_, at(offset), data, size, nullptr) != 0;
  }

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
};

constexpr size_t kRemoteText = 512;

// Texts cross the process boundary as UTF-16, whatever the windows were made with.
std::string Narrow(const wchar_t* text) {
  char narrow[8192] = "";
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
  return narrow;
}

bool SetRemoteItemState(HWND list, int row, UINT state, UINT mask) {
  RemoteBuffer remote(list, sizeof(LVITEMA));
  LVITEMA item = {};
  item.stateMask = mask;
  item.state = state;
  if (!remote.ok() || !remote.Write(0, &item, sizeof item)) return false;
  return SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(remote.at(0))) != 0;
}

}  // namespace

const char* PageName(WizardPage page) {
  switch (page) {
    case WizardPage::None: return "none";
    case WizardPage::Welcome: return "welcome";
    case WizardPage::License: return "license";
    case WizardPage::Folder: return "folder";
    case WizardPage::SetupType: return "setup-type";
    case WizardPage::Components: return "components";
    case WizardPage::Summary: return "summary";
    default: return "other";
  }
}

HWND FindWizardFrame(const std::vector<DWORD>& processIds) {
  return FindTopDialog(processIds, true);
}

HWND FindMessageBox(const std::vector<DWORD>& processIds) {
  return FindTopDialog(processIds, false);
}

HWND CurrentPageWindow(HWND frame) {
  HWND page = nullptr;
  EnumChildWindows(frame, MatchPage, reinterpret_cast<LPARAM>(&page));
  return page;
}

WizardPage CurrentPage(HWND frame) {
  HWND page = CurrentPageWindow(frame);
  if (!page) return WizardPage::None;
  for (const auto& mark : kPageMarks) {
    if (GetDlgItem(page, mark.first)) return mark.second;
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

void PressKey(HWND window, UINT virtualKey) {
  const UINT scan = MapVirtualKeyA(virtualKey, 0);
  PostMessageA(window, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
  PostMessageA(window, WM_KEYUP, virtualKey, 1 | (scan << 16) | (3u << 30));
}

std::vector<std::string> ListBoxRows(HWND list) {
  std::vector<std::string> rows;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t text[kRemoteText] = L"";
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
    if (length < 0 || length >= static_cast<LRESULT>(kRemoteText)) continue;
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    rows.push_back(Narrow(text));
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
  RemoteBuffer remote(list, sizeof(LVITEMA) + kRemoteText);
  if (!remote.ok()) return rows;
  const LRESULT count = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    LVITEMA item = {};
    item.pszText = remote.at(sizeof(LVITEMA));
    item.cchTextMax = kRemoteText;
    remote.Write(0, &item, sizeof item);
    SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(remote.at(0)));
    char text[kRemoteText] = "";
    remote.Read(sizeof(LVITEMA), text, sizeof text - 1);
    rows.push_back(text);
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
  if (!remote.ok() || !remote.Write(0, wide.c_str(), bytes)) return 0;
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
