#include "sys/folder_browser.h"

#include <shlobj.h>
#include <shlwapi.h>

#include "core/bounded_string.h"

namespace {

// Shared with the callback for the length of one browse. The start buffer carries the path in
// and, when the user typed a name the browser does not know, the qualified name out.
char browseStartPath[MAX_PATH];
char browseCurrentPath[MAX_PATH];

// File-system folders only, with an edit field whose typed names are validated.
constexpr UINT kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_VALIDATE;

// The path is shown in the three windows that follow the OK button in window order; the edit
// field is among them.
void ShowCurrentPath(HWND browser) {
  HWND window = GetDlgItem(browser, IDOK);
  for (int i = 0; i < 3 && window != nullptr; ++i) {
    window = GetWindow(window, GW_HWNDNEXT);
    if (window != nullptr) SetWindowTextA(window, browseCurrentPath);
  }
}

void EnableOk(HWND browser, bool enable) {
  SendMessageA(browser, BFFM_ENABLEOK, 0, enable ? TRUE : FALSE);
}

}  // namespace

int CALLBACK FolderBrowserCallback(HWND browser, UINT message, LPARAM param, LPARAM /*data*/) {
  switch (message) {
    case BFFM_INITIALIZED:
      CopyText(browseCurrentPath, sizeof browseCurrentPath, browseStartPath);
      browseStartPath[0] = '\0';
      ShowCurrentPath(browser);
      SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(browseCurrentPath));
      EnableOk(browser, true);
      break;
    case BFFM_SELCHANGED:
      browseCurrentPath[0] = '\0';
      if (SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(param), browseCurrentPath) &&
          browseCurrentPath[0] != '\0') {
        ShowCurrentPath(browser);
        EnableOk(browser, true);
      } else {
        EnableOk(browser, false);
      }
      break;
    case BFFM_VALIDATEFAILEDA: {
      // A typed folder that does not exist yet is what a new target folder looks like: take
      // its full form and let the browser close.
      char qualified[MAX_PATH] = "";
      const char* typed = reinterpret_cast<const char*>(param);
      if (typed != nullptr && PathSearchAndQualifyA(typed, qualified, sizeof qualified) &&
          qualified[0] != '\0') {
        CopyText(browseStartPath, sizeof browseStartPath, qualified);
        return 0;
      }
      return 1;  // keep the browser open
    }
    default:
      break;
  }
  return 0;
}

int BrowseForFolder(HWND owner, char* path) {
  if (path == nullptr) return 0;
  CopyText(browseStartPath, sizeof browseStartPath, path);

  char displayName[MAX_PATH];
  BROWSEINFOA info = {};
  info.hwndOwner = owner;
  info.pidlRoot = nullptr;
  info.pszDisplayName = displayName;
  info.lpszTitle = nullptr;
  info.ulFlags = kBrowseFlags;
  info.lpfn = FolderBrowserCallback;
  info.lParam = 0;

  int result = 0;
  LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
  if (chosen != nullptr) {
    char picked[MAX_PATH];
    if (SHGetPathFromIDListA(chosen, picked)) {
      CopyText(path, MAX_PATH, picked);
      result = 1;
    }
    CoTaskMemFree(chosen);
  }
  if (!result && browseStartPath[0] != '\0') {
    CopyText(path, MAX_PATH, browseStartPath);
    result = 1;
  }
  browseStartPath[0] = '\0';
  return result;
}
