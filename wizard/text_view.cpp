#include "wizard/text_view.h"

#include <cstring>
#include <new>

#include "wizard/wizard_messages.h"

namespace {

// The edit child's procedure: Enter and Escape go to the dialog's buttons, and each scroll,
// resize or key is reported to the host after the edit has handled it (the report is posted).
LRESULT CALLBACK EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* view = reinterpret_cast<TextView*>(GetWindowLongPtrA(edit, GWLP_USERDATA));
  if (!view || !view->editProc) return DefWindowProcA(edit, message, wParam, lParam);
  switch (message) {
    case WM_GETDLGCODE:
      return CallWindowProcA(view->editProc, edit, message, wParam, lParam) &
             ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_HASSETSEL);
    case WM_SIZE:
    case WM_KEYDOWN:
    case WM_VSCROLL:
      PostMessageA(view->host, kMsgRefreshView, wParam, lParam);
      break;
    default:
      break;
  }
  return CallWindowProcA(view->editProc, edit, message, wParam, lParam);
}

void CreateView(HWND host, const CREATESTRUCTA* create) {
  auto* view = new (std::nothrow) TextView;
  if (!view) return;
  view->host = host;
  SetWindowLongPtrA(host, GWL_EXSTYLE,
                    GetWindowLongPtrA(host, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  SetWindowLongPtrA(host, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
  view->edit = CreateWindowExA(
      WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY, "EDIT", "",
      WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_READONLY | ES_MULTILINE, 0, 0,
      create->cx, create->cy, host, nullptr, create->hInstance, nullptr);
  if (!view->edit) return;
  SetWindowLongPtrA(view->edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
  view->editProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(view->edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
  const LRESULT font = SendMessageA(GetParent(host), WM_GETFONT, 0, 0);
  SendMessageA(view->edit, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
}

LRESULT CALLBACK ShowControlProc(HWND host, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateView(host, reinterpret_cast<const CREATESTRUCTA*>(lParam));
      return 0;
    case WM_DESTROY: {
      auto* view = FindTextView(host);
      if (view && view->edit && view->editProc) {
        SetWindowLongPtrA(view->edit, GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(view->editProc));
      }
      const LRESULT result = DefWindowProcA(host, message, wParam, lParam);
      SetWindowLongPtrA(host, GWLP_USERDATA, 0);
      if (view) {
        delete[] view->text;
        delete view;
      }
      return result;
    }
    case WM_NEXTDLGCTL:
      return TRUE;
    case kMsgRefreshView:
      PostMessageA(GetParent(host), kMsgRefreshView, wParam, lParam);
      return 0;
    default:
      return DefWindowProcA(host, message, wParam, lParam);
  }
}

}  // namespace

int RegisterShowControl(HINSTANCE instance) {
  WNDCLASSEXA existing = {};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(instance, kShowControlClass, &existing)) return 1;
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = ShowControlProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kShowControlClass;
  return RegisterClassExA(&windowClass) != 0;
}

TextView* FindTextView(HWND host) {
  if (!host) return nullptr;
  char className[sizeof kShowControlClass + 1] = "";
  if (!GetClassNameA(host, className, sizeof className) ||
      lstrcmpiA(className, kShowControlClass) != 0) {
    return nullptr;
  }
  return reinterpret_cast<TextView*>(GetWindowLongPtrA(host, GWLP_USERDATA));
}

void SetText(TextView* view, const char* text) {
  if (!view) return;
  if (!text) text = "";
  const size_t size = strlen(text) + 1;
  char* copy = new (std::nothrow) char[size];
  if (!copy) return;
  memcpy(copy, text, size);
  delete[] view->text;
  view->text = copy;
  view->textSize = size;
  if (view->edit) SetWindowTextA(view->edit, view->text);
}

int IsScrolledToEnd(TextView* view) {
  if (!view || !view->edit) return 1;
  const LRESULT first = SendMessageA(view->edit, EM_GETFIRSTVISIBLELINE, 0, 0);
  RECT rect = {};
  SendMessageA(view->edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rect));
  const LRESULT lines = SendMessageA(view->edit, EM_GETLINECOUNT, 0, 0);

  LONG h = 0;
  if (HDC dc = GetDC(view->edit)) {
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(view->edit, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    TEXTMETRICA metrics = {};
    if (GetTextMetricsA(dc, &metrics)) h = metrics.tmHeight;
    if (old) SelectObject(dc, old);
    ReleaseDC(view->edit, dc);
  }
  if (h == 0) return first >= lines ? 1 : 0;
  return first + (rect.bottom - rect.top) / h >= lines ? 1 : 0;
}
