// The wizard frame's page protocol, run modally under Wine with scripted pages: neighbours,
// one-shot redirects, pages appended while Next is handled, Back on the first page, Next on
// the last page, and the button operations.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <deque>
#include <string>

#include "res/resource.h"
#include "wizard/page_skin.h"
#include "wizard/wizard_frame.h"
#include "wizard/wizard_messages.h"

namespace {

// What the scripted pages do and what they saw, for the test being run.
struct PageScript {
  std::deque<int> presses;          // frame buttons pressed, one per PageShown
  std::string log;                  // "init 0 shown 0 next 0 ...", one word pair per event
  int redirectOnNextFrom = -1;      // this page redirects during PageNext ...
  int redirectTo = 0;               // ... to this page
  int appendOnNextFrom = -1;        // this page appends one page during PageNext
  UINT enableOnShown = kAllButtons;
  bool backEnabled = false, nextEnabled = false, nextIsDefault = false;  // after EnableButtons
  bool paintWithSkin = false;       // pages paint their panel (page 0 the large picture)
  HBITMAP firstScaled = nullptr;    // the skin's scaled interior picture after the first show
};
PageScript* script = nullptr;

int PageIndex(HWND page) { return GetDlgCtrlID(page); }

void Note(const char* event, int index) {
  script->log += (script->log.empty() ? "" : " ") + std::string(event) + " " + std::to_string(index);
}

WizardFrame* FrameOf(HWND page) {
  return reinterpret_cast<WizardFrame*>(GetWindowLongPtrA(page, GWLP_USERDATA));
}

INT_PTR CALLBACK ScriptedPage(HWND page, UINT message, WPARAM, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      auto* frame = reinterpret_cast<WizardFrame*>(lParam);
      SetWindowLongPtrA(page, GWLP_USERDATA, lParam);
      SetWindowLongPtrA(page, GWLP_ID, frame->currentIndex);  // remembers its own index
      Note("init", frame->currentIndex);
      return TRUE;
    }
    case WM_PAINT:
      if (!script->paintWithSkin) return FALSE;
      pageSkin.Paint(page, 0, PageIndex(page) == 0 ? kNoStep : PageIndex(page));
      return TRUE;
    case kMsgPageShown: {
      WizardFrame* frame = FrameOf(page);
      Note("shown", PageIndex(page));
      if (!script->firstScaled) script->firstScaled = pageSkin.scaledInterior;
      frame->EnableButtons(script->enableOnShown);
      script->backEnabled = IsWindowEnabled(GetDlgItem(frame->window, IDC_BACK)) != 0;
      script->nextEnabled = IsWindowEnabled(GetDlgItem(frame->window, IDC_NEXT)) != 0;
      script->nextIsDefault =
          LOWORD(SendMessageA(frame->window, DM_GETDEFID, 0, 0)) == IDC_NEXT &&
          (GetWindowLongA(GetDlgItem(frame->window, IDC_NEXT), GWL_STYLE) & 0x0F) ==
              BS_DEFPUSHBUTTON;
      if (script->presses.empty()) {
        PostMessageA(frame->window, WM_COMMAND, IDCANCEL, 0);
      } else {
        PostMessageA(frame->window, WM_COMMAND, script->presses.front(), 0);
        script->presses.pop_front();
      }
      return TRUE;
    }
    case kMsgPageNext: {
      WizardFrame* frame = FrameOf(page);
      const int index = PageIndex(page);
      Note("next", index);
      if (index == script->redirectOnNextFrom) frame->SetPendingPage(script->redirectTo);
      if (index == script->appendOnNextFrom) {
        frame->AddPage(IDD_FOLDER, ScriptedPage);
        script->appendOnNextFrom = -1;
      }
      return TRUE;
    }
    case kMsgPageBack:
      Note("back", PageIndex(page));
      return TRUE;
    case kMsgQueryCancel:
      SetWindowLongPtrA(page, DWLP_MSGRESULT, 1);
      return TRUE;
    default:
      return FALSE;
  }
}

// A frame that is left without a further press (the scripts of the tests whose last step
// switches no page) ends after three seconds, so no test can hang.
void CALLBACK EndStuckFrame(HWND, UINT, UINT_PTR, DWORD) {
  if (HWND frame = FindWindowA("#32770", "Xelta Z614")) EndDialog(frame, 99);
}

// Runs a frame of `pages` scripted pages modally.
INT_PTR RunFrame(WizardFrame& frame, int pages) {
  frame.SetInstance(GetModuleHandleA(nullptr));
  for (int i = 0; i < pages; ++i) frame.AddPage(IDD_FOLDER, ScriptedPage);
  const UINT_PTR guard = SetTimer(nullptr, 0, 3000, EndStuckFrame);
  const INT_PTR result = frame.Run();
  KillTimer(nullptr, guard);
  return result;
}

class WizardFrameTest : public testing::Test {
 protected:
  void SetUp() override { script = &script_; }
  void TearDown() override { script = nullptr; }

  PageScript script_;
  WizardFrame frame_;
};

// Next is IDOK, Back 1077. A run whose last step switches no page ends by the guard (99);
// one whose presses run out cancels (0), as does Next on the last page.
TEST(WizardFrame, PageProtocol) {
  struct Case {
    const char* name;
    int pages;
    std::deque<int> presses;
    int redirectFrom, redirectTo, appendFrom;
    INT_PTR result;
    int pageCount;
    const char* log;
  } const cases[] = {
      {"neighbours, each page made once", 3, {IDOK, IDOK, 1077, IDOK}, -1, 0, -1, 0, 3,
       "init 0 shown 0 next 0 init 1 shown 1 next 1 init 2 shown 2 back 2 shown 1 next 1 shown 2"},
      {"a redirect is used once", 3, {IDOK, 1077, 1077}, 0, 2, -1, 0, 3,
       "init 0 shown 0 next 0 init 2 shown 2 back 2 init 1 shown 1 back 1 shown 0"},
      // The redirect is consumed each time, so the page stays and no PageShown follows.
      {"a redirect to the shown page keeps it", 3, {IDOK, IDOK, IDOK}, 1, 1, -1, 99, 3,
       "init 0 shown 0 next 0 init 1 shown 1 next 1"},
      {"a page appended during Next on the last page is shown", 2, {IDOK, IDOK, IDOK}, -1, 0, 1,
       0, 3, "init 0 shown 0 next 0 init 1 shown 1 next 1 init 2 shown 2 next 2"},
      {"Back on the first page stays there", 2, {1077}, -1, 0, -1, 99, 2, "init 0 shown 0 back 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PageScript run;
    run.presses = c.presses;
    run.redirectOnNextFrom = c.redirectFrom;
    run.redirectTo = c.redirectTo;
    run.appendOnNextFrom = c.appendFrom;
    script = &run;
    WizardFrame frame;
    EXPECT_EQ(RunFrame(frame, c.pages), c.result);
    script = nullptr;
    EXPECT_EQ(run.log, c.log);
    EXPECT_EQ(frame.pageCount, c.pageCount);
    EXPECT_EQ(frame.pendingIndex, 0);
  }
}

TEST_F(WizardFrameTest, TheTableHoldsTwentyPages) {
  for (int i = 0; i < kMaxPages; ++i) EXPECT_EQ(frame_.AddPage(IDD_FOLDER, ScriptedPage), 1);
  EXPECT_EQ(frame_.AddPage(IDD_FOLDER, ScriptedPage), 0);
  EXPECT_EQ(frame_.pageCount, kMaxPages);
}

TEST_F(WizardFrameTest, EnableButtonsSetsStatesAndTheDefaultButton) {
  script_.enableOnShown = kButtonNext | kButtonCancel;
  RunFrame(frame_, 1);
  EXPECT_FALSE(script_.backEnabled);
  EXPECT_TRUE(script_.nextEnabled);
  EXPECT_TRUE(script_.nextIsDefault);
  EXPECT_EQ(frame_.enabledButtons, kButtonNext | kButtonCancel);
  EXPECT_EQ(frame_.shownButtons, kAllButtons);
}

// The demo pictures of the source tree, as Wine sees the host's files.
std::string DemoPictureFolder() {
  std::string folder = std::string("Z:") + __FILE__;
  folder = folder.substr(0, folder.find_last_of("/\\")) + "/../../package/demo";
  for (char& c : folder) {
    if (c == '/') c = '\\';
  }
  return folder;
}

TEST_F(WizardFrameTest, HundredSwitchesPaintFromPicturesScaledOnce) {
  pageSkin.LoadBitmaps(DemoPictureFolder().c_str());
  script_.paintWithSkin = true;
  for (int i = 0; i < 50; ++i) {
    script_.presses.push_back(IDOK);
    script_.presses.push_back(1077);
  }
  script_.presses.push_back(IDOK);  // from page 0 to page 1, where the skin has painted both
  const DWORD start = GetTickCount();
  RunFrame(frame_, 2);
  const DWORD elapsed = GetTickCount() - start;
  printf("100 page switches with the painted panel: %lu ms\n", static_cast<unsigned long>(elapsed));
  RecordProperty("hundred_switches_ms", static_cast<int>(elapsed));
  int shownOne = 0;
  for (size_t at = 0; (at = script_.log.find("shown 1", at)) != std::string::npos; ++at) ++shownOne;
  EXPECT_EQ(shownOne, 51);
  ASSERT_NE(pageSkin.scaledInterior, nullptr) << "the demo pictures were found";
  EXPECT_EQ(pageSkin.scaledInterior, script_.firstScaled) << "scaled once per process";
  EXPECT_NE(pageSkin.scaledWatermark, nullptr);
  EXPECT_EQ(pageSkin.watermark, nullptr) << "the loaded pictures are released after scaling";
  EXPECT_EQ(pageSkin.interiorWatermark, nullptr);
  EXPECT_LT(elapsed, 20000u);
}

}  // namespace
