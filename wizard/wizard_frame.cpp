#include "wizard/wizard_frame.h"

#include "res/resource.h"
#include "sys/module_instance.h"
#include "wizard/page_skin.h"
#include "wizard/wizard_messages.h"

namespace {

// The buttons in the order every button operation walks them.
struct FrameButton {
  UINT bit;
  int id;
};
constexpr FrameButton kButtons[] = {
    {kButtonBack, IDC_BACK}, {kButtonNext, IDC_NEXT}, {kButtonCancel, IDC_CANCEL}};

void SetButtonStyle(HWND button, UINT style) {
  SendMessageA(button, BM_SETSTYLE, style, TRUE);
}

}  // namespace

int WizardFrame::AddPage(UINT templateId, DLGPROC pageProc) {
  if (pageCount >= kMaxPages) return 0;
  pageTemplates[pageCount] = LOWORD(templateId);
  pageProcs[pageCount] = pageProc;
  pageWindows[pageCount] = nullptr;
  ++pageCount;
  return 1;
}

INT_PTR WizardFrame::Run() {
  return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_WIZARD_FRAME), nullptr, FrameProc,
                         reinterpret_cast<LPARAM>(this));
}

HWND WizardFrame::CurrentPage() const {
  if (currentIndex < 0 || currentIndex >= kMaxPages) return nullptr;
  return pageWindows[currentIndex];
}

// PageBack and PageNext carry no answer: a page that wants to stay redirects to itself.
void WizardFrame::SendToCurrentPage(UINT message) {
  HWND page = CurrentPage();
  if (!page) return;
  SendMessageA(page, message, 0, 0);
  SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
}

void WizardFrame::ShowPage(int index) {
  int target = index;
  if (pendingIndex != 0) {
    target = pendingIndex;
    pendingIndex = 0;
  }
  if (target == currentIndex) return;
  if (target < 0 || target >= pageCount) return;

  SendMessageA(window, WM_SETREDRAW, FALSE, 0);
  if (HWND old = CurrentPage()) ShowWindow(old, SW_HIDE);
  currentIndex = target;
  HWND page = pageWindows[target];
  if (!page) {
    page = CreateDialogParamA(instance, MAKEINTRESOURCEA(pageTemplates[target]), window,
                              pageProcs[target], reinterpret_cast<LPARAM>(this));
    pageWindows[target] = page;
  } else {
    ShowWindow(page, SW_SHOW);
  }
  SendMessageA(window, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(window, nullptr, TRUE);
  if (!page) return;

  // The controls paint first while the panel is held back; the panel then paints once from
  // its off-screen copy without an erase, so the switch does not flicker.
  ValidateRect(page, &pageSkin.panel);
  UpdateWindow(page);
  InvalidateRect(page, &pageSkin.panel, FALSE);
  UpdateWindow(page);

  SetFocus(GetNextDlgTabItem(page, nullptr, FALSE));
  PostMessageA(page, kMsgPageShown, 0, 0);
}

void WizardFrame::Navigate(UINT bits) {
  if (bits & kButtonNext) {
    GoNext();
  } else if (bits & kButtonBack) {
    GoBack();
  }
}

void WizardFrame::GoNext() {
  SendToCurrentPage(kMsgPageNext);
  // Read after the page's answer: pages appended just now count, so Next goes on to them.
  if (currentIndex + 1 >= pageCount) {
    EndDialog(window, 0);
    return;
  }
  ShowPage(currentIndex + 1);
}

void WizardFrame::GoBack() {
  SendToCurrentPage(kMsgPageBack);
  if (currentIndex > 0) ShowPage(currentIndex - 1);
}

void WizardFrame::ShowButtons(UINT bits) {
  for (const FrameButton& button : kButtons) {
    const bool wanted = (bits & button.bit) != 0;
    const bool shown = (shownButtons & button.bit) != 0;
    if (wanted == shown) continue;
    ShowWindow(GetDlgItem(window, button.id), wanted ? SW_SHOW : SW_HIDE);
    shownButtons ^= button.bit;
  }
}

void WizardFrame::EnableButtons(UINT bits) {
  HWND back = GetDlgItem(window, IDC_BACK);
  if (!(bits & kButtonBack)) {
    SetButtonStyle(back, BS_PUSHBUTTON);
    if (enabledButtons & kButtonBack) {
      EnableWindow(back, FALSE);
      enabledButtons &= ~kButtonBack;
    }
  } else if (!(enabledButtons & kButtonBack)) {
    EnableWindow(back, TRUE);
    enabledButtons |= kButtonBack;
  }

  HWND next = GetDlgItem(window, IDC_NEXT);
  if (bits & kButtonNext) {
    SendMessageA(window, DM_SETDEFID, IDC_NEXT, 0);
    SetButtonStyle(next, BS_DEFPUSHBUTTON);
    if (!(enabledButtons & kButtonNext)) {
      EnableWindow(next, TRUE);
      enabledButtons |= kButtonNext;
    }
  } else {
    SetButtonStyle(next, BS_PUSHBUTTON);
    if (enabledButtons & kButtonNext) {
      EnableWindow(next, FALSE);
      enabledButtons &= ~kButtonNext;
    }
  }

  HWND cancel = GetDlgItem(window, IDC_CANCEL);
  if (!(bits & kButtonCancel)) {
    SetButtonStyle(cancel, BS_PUSHBUTTON);
    if (enabledButtons & kButtonCancel) {
      EnableWindow(cancel, FALSE);
      enabledButtons &= ~kButtonCancel;
    }
  } else if (!(enabledButtons & kButtonCancel)) {
    EnableWindow(cancel, TRUE);
    enabledButtons |= kButtonCancel;
  }
}

void WizardFrame::SetButtonText(UINT bit, const char* text) {
  for (const FrameButton& button : kButtons) {
    if (bit & button.bit) {
      SetDlgItemTextA(window, button.id, text);
      return;
    }
  }
}

void WizardFrame::SetDefaultButton(UINT bit) {
  // A focused push button shows itself as the default; it gives that look up first.
  HWND focus = GetFocus();
  char className[16] = "";
  if (focus && GetClassNameA(focus, className, sizeof className) &&
      lstrcmpiA(className, "Button") == 0) {
    SetWindowLongPtrA(focus, GWL_STYLE, GetWindowLongPtrA(focus, GWL_STYLE) & ~LONG_PTR{1});
  }
  const FrameButton* chosen = nullptr;
  for (const FrameButton& button : kButtons) {
    if (bit & button.bit) {
      chosen = &button;
      break;
    }
  }
  if (!chosen) return;
  for (const FrameButton& button : kButtons) {
    HWND control = GetDlgItem(window, button.id);
    const LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
    if (&button == chosen) {
      SetWindowLongPtrA(control, GWL_STYLE, style | 1);
    } else {
      SetWindowLongPtrA(control, GWL_STYLE, style & ~LONG_PTR{1});
    }
  }
  SetFocus(GetDlgItem(window, chosen->id));
}

void WizardFrame::InitDialog(HWND dialog) {
  window = dialog;
  icon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SETUP));
  SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  LoadText(IDS_BUTTON_CANCEL, textBuffer);
  SetDlgItemTextA(window, IDC_CANCEL, textBuffer);
  LoadText(IDS_BUTTON_NEXT, textBuffer);
  SetDlgItemTextA(window, IDC_NEXT, textBuffer);
  LoadText(IDS_BUTTON_BACK, textBuffer);
  SetDlgItemTextA(window, IDC_BACK, textBuffer);
  LoadText(IDS_FRAME_CAPTION, textBuffer);
  SetWindowTextA(window, textBuffer);
  shownButtons = kAllButtons;
  enabledButtons = kAllButtons;
  // The first page is shown once the dialog runs its own loop.
  PostMessageA(window, kMsgRefreshView, 0, 0);
}

INT_PTR WizardFrame::OnMessage(UINT message, WPARAM wParam) {
  switch (message) {
    case kMsgRefreshView:
      ShowPage(0);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_NEXT:
          GoNext();
          break;
        case IDC_BACK:
          GoBack();
          break;
        case IDC_CANCEL:  // also the Escape key and the close box
          if (HWND page = CurrentPage()) {
            if (SendMessageA(page, kMsgQueryCancel, 0, 0)) EndDialog(window, 0);
          }
          break;
        default:
          return FALSE;
      }
      return TRUE;
    case WM_DESTROY:
      // Pages act on their own WM_DESTROY (the finish pages do their last work there).
      for (int i = 0; i < pageCount; ++i) {
        if (pageWindows[i]) {
          DestroyWindow(pageWindows[i]);
          pageWindows[i] = nullptr;
        }
      }
      return FALSE;
    case WM_NEXTDLGCTL:
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK WizardFrame::FrameProc(HWND dialog, UINT message, WPARAM wParam,
                                        LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* frame = reinterpret_cast<WizardFrame*>(lParam);
    SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
    frame->InitDialog(dialog);
    return TRUE;
  }
  auto* frame = reinterpret_cast<WizardFrame*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
  if (!frame) return FALSE;
  return frame->OnMessage(message, wParam);
}
