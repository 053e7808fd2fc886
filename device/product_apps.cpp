#include "device/product_apps.h"

#include <shlwapi.h>

#include "core/bounded_string.h"
#include "device/model_text.h"
#include "sys/globals.h"
#include "sys/module_instance.h"
#include "sys/process_launch.h"
#include "sys/setup_log.h"

namespace {

struct AppNames {
  ProductApp app;
  const char* windowClass;  // "%s" is the model name
  const char* programFile;  // in the target folder
};

constexpr AppNames kAppNames[] = {
    {kUserInterfaceApp, "%sMain", "%sUI.exe"},
    {kMonitorApp, "%sMONITOR", "%sMON.exe"},
    {kSmsApp, "%sSMSMain", "%ssms.exe"},
};

const AppNames* NamesOf(ProductApp app) {
  for (const AppNames& names : kAppNames) {
    if (names.app == app) return &names;
  }
  return nullptr;
}

// The application's program file name, for the log.
const char* ProgramName(ProductApp app, char* file, size_t cap) {
  const AppNames* names = NamesOf(app);
  if (names == nullptr || !FormatWithModel(names->programFile, file, cap)) return "";
  return file;
}

HWND FindAppWindow(ProductApp app) {
  const AppNames* names = NamesOf(app);
  char windowClass[kTextBufferSize];
  if (names == nullptr || !FormatWithModel(names->windowClass, windowClass, sizeof windowClass)) {
    return nullptr;
  }
  return FindWindowA(windowClass, nullptr);
}

}  // namespace

int IsAppRunning(ProductApp app) { return FindAppWindow(app) != nullptr ? 1 : 0; }

void CloseApp(ProductApp app) {
  if (app == kUserInterfaceApp) {
    // The user interface may ask its user before it closes; posting leaves it the time to,
    // and a window that ignores the request is left running after the last post.
    for (int post = 0; post < kUserInterfaceClosePosts; ++post) {
      HWND window = FindAppWindow(app);
      if (window == nullptr) break;
      char file[kTextBufferSize];
      LogAction("Application asked to close: %s", ProgramName(app, file, sizeof file));
      PostMessageA(window, WM_CLOSE, 0, 0);
    }
    FindAppWindow(app);  // looked for once more; whether it is still there decides nothing
    return;
  }
  if (HWND window = FindAppWindow(app)) {
    char file[kTextBufferSize];
    LogAction("Application closed: %s", ProgramName(app, file, sizeof file));
    SendMessageA(window, WM_CLOSE, 0, 0);
  }
}

DWORD LaunchApp(ProductApp app) {
  const AppNames* names = NamesOf(app);
  char file[kTextBufferSize];
  if (names == nullptr || !FormatWithModel(names->programFile, file, sizeof file)) {
    return ERROR_INVALID_PARAMETER;
  }
  char program[MAX_PATH];
  if (!CopyText(program, sizeof program, setupContext.targetFolder)) return ERROR_BUFFER_OVERFLOW;
  if (!PathAppendA(program, file)) return ERROR_BUFFER_OVERFLOW;
  return LaunchProcess(program, nullptr, SW_SHOWNORMAL);
}
