// The wizard's windows under Wine: the frame run modally with scripted pages, the licence page's
// text view, and path lines compacted to a window's width. The buttons' states, the licence
// read with keys, and the time of 100 page switches are checked end to end with the robot.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <string>

#include "res/resource.h"
#include "sys/compact_lines.h"
#include "wizard/page_skin.h"
#include "wizard/text_view.h"
#include "wizard/wizard_frame.h"
#include "wizard/wizard_messages.h"

namespace {

// What the scripted pages do and what they saw, for the run under way.
struct PageScript {
  std::deque<int> presses{};              // frame buttons pressed, one per PageShown
  int redirectFrom = -1, redirectTo = 0;  // this page redirects during PageNext to that one
  int appendFrom = -1;                    // this page appends one page during PageNext
  bool paintWithSkin = false;             // pages paint their panel (page 0 the large picture)
  std::string log{};                      // "init 0 shown 0 next 0 ...", a pair per event
  HBITMAP firstScaled = nullptr;          // the skin's scaled interior picture at the first show
};
PageScript* script = nullptr;

void Note(const char* event, HWND page) {
  if (!script->log.empty()) script->log += ' ';
  script->log += std::string(event) + " " + std::to_string(GetDlgCtrlID(page));
}

INT_PTR CALLBACK ScriptedPage(HWND page, UINT message, WPARAM, LPARAM lParam) {
  WizardFrame* frame = reinterpret_cast<WizardFrame*>(GetWindowLongPtrA(page, GWLP_USERDATA));
  switch (message) {
    case WM_INITDIALOG:
      frame = reinterpret_cast<WizardFrame*>(lParam);
      SetWindowLongPtrA(page, GWLP_USERDATA, lParam);
      SetWindowLongPtrA(page, GWLP_ID, frame->currentIndex);  // remembers its own index
      Note("init", page);
      return TRUE;
    case WM_PAINT:
      if (!script->paintWithSkin) return FALSE;
      pageSkin.Paint(page, 0, GetDlgCtrlID(page) == 0 ? kNoStep : GetDlgCtrlID(page));
      return TRUE;
    case kMsgPageShown: {
      Note("shown", page);
      if (!script->firstScaled) script->firstScaled = pageSkin.scaledInterior;
      const int press = script->presses.empty() ? IDCANCEL : script->presses.front();
      if (!script->presses.empty()) script->presses.pop_front();
      PostMessageA(frame->window, WM_COMMAND, press, 0);
      return TRUE;
    }
    case kMsgPageNext:
      Note("next", page);
      if (GetDlgCtrlID(page) == script->redirectFrom) frame->SetPendingPage(script->redirectTo);
      if (GetDlgCtrlID(page) == script->appendFrom) {
        frame->AddPage(IDD_FOLDER, ScriptedPage);
        script->appendFrom = -1;
      }
      return TRUE;
    case kMsgPageBack:
      Note("back", page);
      return TRUE;
    case kMsgQueryCancel:
      SetWindowLongPtrA(page, DWLP_MSGRESULT, 1);
      return TRUE;
    default:
      return FALSE;
  }
}

// A frame left without a further press ends after three seconds with 99, so no test can hang.
void CALLBACK EndStuckFrame(HWND, UINT, UINT_PTR, DWORD) {
  if (HWND frame = FindWindowA("#32770", "Xelta Z614")) EndDialog(frame, 99);
}

INT_PTR RunFrame(WizardFrame& frame, PageScript& run, int pages) {
  script = &run;
  frame.SetInstance(GetModuleHandleA(nullptr));
  for (int i = 0; i < pages; ++i) frame.AddPage(IDD_FOLDER, ScriptedPage);
  const UINT_PTR guard = SetTimer(nullptr, 0, 3000, EndStuckFrame);
  const INT_PTR result = frame.Run();
  KillTimer(nullptr, guard);
  script = nullptr;
  return result;
}

// Next is IDOK, Back 1077. A run whose last step switches no page ends by the guard (99);
// one whose presses run out cancels (0), as does Next on the last page.
TEST(WizardFrame, PageProtocol) {
  struct Case {
    const char* name;
    int pages;
    PageScript run;  // presses, redirect from and to, append from
    INT_PTR result;
    const char* log;
  } const cases[] = {
      {"neighbours, each page made once", 3, {{IDOK, IDOK, 1077, IDOK}}, 0,
       "init 0 shown 0 next 0 init 1 shown 1 next 1 init 2 shown 2 back 2 shown 1 next 1 shown 2"},
      {"a redirect is used once", 3, {{IDOK, 1077, 1077}, 0, 2}, 0,
       "init 0 shown 0 next 0 init 2 shown 2 back 2 init 1 shown 1 back 1 shown 0"},
      // The redirect is consumed each time, so the page stays and no PageShown follows.
      {"a redirect to the shown page keeps it", 3, {{IDOK, IDOK, IDOK}, 1, 1}, 99,
       "init 0 shown 0 next 0 init 1 shown 1 next 1"},
      {"a page appended during Next on the last page is shown", 2, {{IDOK, IDOK, IDOK}, -1, 0, 1},
       0, "init 0 shown 0 next 0 init 1 shown 1 next 1 init 2 shown 2 next 2"},
      {"Back on the first page stays there", 2, {{1077}}, 99, "init 0 shown 0 back 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PageScript run = c.run;
    WizardFrame frame;
    EXPECT_EQ(RunFrame(frame, run, c.pages), c.result);
    EXPECT_EQ(run.log, c.log);
    EXPECT_EQ(frame.pendingIndex, 0);
  }
  WizardFrame full;  // the page table holds twenty pages
  for (int i = 0; i < kMaxPages; ++i) EXPECT_EQ(full.AddPage(IDD_FOLDER, ScriptedPage), 1);
  EXPECT_EQ(full.AddPage(IDD_FOLDER, ScriptedPage), 0);
}

// The demo pictures are scaled at the first paint, once per process, and then released.
TEST(WizardFrame, SwitchingPagesPaintsFromPicturesScaledOnce) {
  std::string folder = std::string("Z:") + __FILE__;  // the demo pictures of the source tree
  folder = folder.substr(0, folder.find_last_of("/\\")) + "/../../package/demo";
  std::replace(folder.begin(), folder.end(), '/', '\\');
  pageSkin.LoadBitmaps(folder.c_str());
  PageScript run = {{IDOK, 1077, IDOK, 1077, IDOK}};
  run.paintWithSkin = true;
  WizardFrame frame;
  RunFrame(frame, run, 2);
  ASSERT_NE(pageSkin.scaledInterior, nullptr) << "the demo pictures were found";
  EXPECT_EQ(pageSkin.scaledInterior, run.firstScaled);
  EXPECT_NE(pageSkin.scaledWatermark, nullptr);
  EXPECT_EQ(pageSkin.watermark, nullptr);
  EXPECT_EQ(pageSkin.interiorWatermark, nullptr);
}

TEST(CompactLines, LineBreaksBecomeLineFeedsAndLongPathsFitTheWidth) {
  const HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 160, 60, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
  const std::string path = "C:\\Program Files\\Xelta\\Xelta Z614\\Drivers\\Windows NT\\Z614MC.sys";
  char text[kCompactTextSize];
  std::snprintf(text, sizeof text, "%s\r\nC:\\a.inf\rC:\\b.inf\n\nC:\\c.inf", path.c_str());
  ASSERT_EQ(CompactLinesToWidth(window, text, sizeof text), 1);
  const std::string result = text;
  const std::string first = result.substr(0, result.find('\n'));
  EXPECT_NE(first.find("..."), std::string::npos) << first;
  EXPECT_EQ(result.substr(first.size()), "\nC:\\a.inf\nC:\\b.inf\n\nC:\\c.inf\n");
  HDC dc = GetWindowDC(window);  // the context the compaction measures with
  SIZE size = {};
  GetTextExtentPoint32A(dc, first.c_str(), static_cast<int>(first.size()), &size);
  ReleaseDC(window, dc);
  RECT client = {};
  GetClientRect(window, &client);
  EXPECT_LE(size.cx, client.right) << first;
  DestroyWindow(window);
}

// The licence is paged through with keys, read at once when empty, and left with Enter end to
// end with the robot. Here the view's own copy of the text, and the scroll bar's notice.
TEST(TextView, KeepsACopyAndTellsThePageWhenTheScrollBarReachesTheEnd) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  ASSERT_NE(RegisterShowControl(instance), 0);
  const HWND page = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                                  instance, nullptr);
  const HWND host = CreateWindowA(kShowControlClass, "", WS_CHILD | WS_VISIBLE, 10, 10, 300, 120,
                                  page, nullptr, instance, nullptr);
  TextView* view = FindTextView(host);
  ASSERT_TRUE(view && view->edit);
  std::string text;
  for (int i = 0; i < 60; ++i) text += "line " + std::to_string(i) + "\r\n";
  SetText(view, text.c_str());
  const std::string copy = view->text;
  text[0] = 'X';  // the caller's buffer may go away or change
  EXPECT_STREQ(view->text, copy.c_str());
  EXPECT_EQ(IsScrolledToEnd(view), 0);

  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  SendMessageA(view->edit, WM_VSCROLL, SB_BOTTOM, 0);  // posts the notice to the view's host
  ASSERT_TRUE(PeekMessageA(&message, host, kMsgRefreshView, kMsgRefreshView, PM_REMOVE));
  DispatchMessageA(&message);  // which passes it on to the page
  EXPECT_TRUE(PeekMessageA(&message, page, kMsgRefreshView, kMsgRefreshView, PM_REMOVE));
  EXPECT_EQ(IsScrolledToEnd(view), 1);
  DestroyWindow(page);
}

}  // namespace
