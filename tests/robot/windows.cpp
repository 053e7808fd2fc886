#include "tests/robot/windows.h"

#include <algorithm>

namespace {

struct DialogSearch {
  const std::vector<DWORD>* processIds;
  HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<DialogSearch*>(lParam);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (std::find(search->processIds->begin(), search->processIds->end(), processId) ==
      search->processIds->end()) {
    return TRUE;
  }
  char className[64] = "";
  GetClassNameA(window, className, sizeof className);
  if (IsWindowVisible(window) && lstrcmpA(className, "#32770") == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

std::string WindowText(HWND window) {
  char text[4096] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

HWND FindProcessDialog(const std::vector<DWORD>& processIds) {
  DialogSearch search = {&processIds, nullptr};
  EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

ShownMessage ReadMessageBox(HWND window) {
  ShownMessage message;
  message.window = window;
  message.caption = WindowText(window);
  message.text = WindowText(GetDlgItem(window, 0xFFFF));
  return message;
}

void PressDialogButton(HWND window, int id) {
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}
