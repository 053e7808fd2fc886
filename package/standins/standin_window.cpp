#include "package/standins/standin_window.h"

#include "package/standins/standin_log.h"

namespace {

LRESULT CALLBACK StandinWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      char text[256];
      GetWindowTextA(window, text, sizeof text);  // the caption, until the text is stored
      const char* shown = reinterpret_cast<const char*>(GetWindowLongPtrA(window, GWLP_USERDATA));
      RECT area;
      GetClientRect(window, &area);
      InflateRect(&area, -12, -12);
      DrawTextA(dc, shown ? shown : text, -1, &area, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY:
      // WM_CLOSE goes to DefWindowProcA, which destroys the window: the program then ends.
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int RunStandinWindow(HINSTANCE instance, const StandinApp& app, int showCommand) {
  AppendStandinLog(app.file, "WinMain", StandinArguments());
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = StandinWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = app.className;
  if (!RegisterClassA(&windowClass)) return 1;

  HWND window = CreateWindowExA(0, app.className, app.title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 420, 160, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(app.text));
  ShowWindow(window, showCommand);
  UpdateWindow(window);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
