#include "script/create_shell_link.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "sys/setup_log.h"

int CreateShellLink(const char* link, const char* target, const char* description,
                    const char* iconFile, int iconIndex) {
  // The worker thread that runs the script owns no other COM object; the apartment it joins
  // here lasts as long as the thread.
  CoInitialize(nullptr);

  IShellLinkA* shellLink = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&shellLink)))) {
    return 0;
  }
  shellLink->SetPath(target);
  shellLink->SetDescription(description);
  shellLink->SetShowCmd(SW_SHOWNORMAL);
  if (iconIndex != -1) shellLink->SetIconLocation(iconFile, iconIndex);

  int saved = 0;
  IPersistFile* persistFile = nullptr;
  if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile,
                                          reinterpret_cast<void**>(&persistFile)))) {
    WCHAR wideLink[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, link, -1, wideLink, MAX_PATH) != 0) {
      saved = SUCCEEDED(persistFile->Save(wideLink, TRUE)) ? 1 : 0;
    }
    persistFile->Release();
  }
  shellLink->Release();
  LogAction(saved ? "Shortcut created: %s" : "Shortcut not created: %s", link);
  return saved;
}
