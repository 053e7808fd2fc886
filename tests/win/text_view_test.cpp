// The ASHOW_CONTROL text view in a real window under Wine: the copy of its text, when the last
// line counts as seen, the keys it leaves to the dialog, and the notices it posts to its page.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "wizard/text_view.h"
#include "wizard/wizard_messages.h"

namespace {

// A plain window stands in for the page: it owns the view and counts its notices.
int refreshNotices = 0;
LRESULT CALLBACK PageStandIn(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMsgRefreshView) ++refreshNotices;
  return DefWindowProcA(window, message, wParam, lParam);
}

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

class TextViewTest : public testing::Test {
 protected:
  void SetUp() override {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    ASSERT_NE(RegisterShowControl(instance), 0);
    EXPECT_NE(RegisterShowControl(instance), 0) << "a second registration finds the class";
    WNDCLASSA pageClass = {};
    pageClass.lpfnWndProc = PageStandIn;
    pageClass.hInstance = instance;
    pageClass.lpszClassName = "TextViewTestPage";
    RegisterClassA(&pageClass);
    page_ = CreateWindowA("TextViewTestPage", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                          nullptr, instance, nullptr);
    host_ = CreateWindowA(kShowControlClass, "", WS_CHILD | WS_VISIBLE, 10, 10, 300, 120, page_,
                          nullptr, instance, nullptr);
    ASSERT_NE(host_, nullptr);
    view_ = FindTextView(host_);
    ASSERT_NE(view_, nullptr);
    ASSERT_NE(view_->edit, nullptr);
    refreshNotices = 0;
  }
  void TearDown() override {
    if (page_) DestroyWindow(page_);
  }

  std::string EditText() {
    char text[4096] = "";
    GetWindowTextA(view_->edit, text, sizeof text);
    return text;
  }

  HWND page_ = nullptr;
  HWND host_ = nullptr;
  TextView* view_ = nullptr;
};

TEST_F(TextViewTest, KeepsACopyAndShowsIt) {
  std::string text = "first line\r\nsecond line";
  SetText(view_, text.c_str());
  text[0] = 'X';  // the caller's buffer may go away or change
  EXPECT_STREQ(view_->text, "first line\r\nsecond line");
  EXPECT_EQ(view_->textSize, sizeof "first line\r\nsecond line");
  EXPECT_EQ(EditText(), "first line\r\nsecond line");
  EXPECT_NE(GetWindowLongA(host_, GWL_EXSTYLE) & WS_EX_CONTROLPARENT, 0);
}

TEST_F(TextViewTest, ShortAndEmptyTextsCountAsReadToTheEnd) {
  SetText(view_, "");
  EXPECT_EQ(IsScrolledToEnd(view_), 1);
  SetText(view_, "one line");
  EXPECT_EQ(IsScrolledToEnd(view_), 1);
}

TEST_F(TextViewTest, LongTextIsSeenOnlyAfterPagingToTheEnd) {
  std::string text;
  for (int i = 0; i < 60; ++i) text += "line " + std::to_string(i) + "\r\n";
  SetText(view_, text.c_str());
  EXPECT_EQ(IsScrolledToEnd(view_), 0);
  for (int i = 0; i < 20 && !IsScrolledToEnd(view_); ++i) {
    SendMessageA(view_->edit, WM_KEYDOWN, VK_NEXT, 0);
  }
  EXPECT_EQ(IsScrolledToEnd(view_), 1);
  PumpMessages();
  EXPECT_GT(refreshNotices, 0) << "each key is reported to the page";
}

TEST_F(TextViewTest, ScrollingIsReportedToThePage) {
  std::string text;
  for (int i = 0; i < 60; ++i) text += "line\r\n";
  SetText(view_, text.c_str());
  PumpMessages();
  refreshNotices = 0;
  SendMessageA(view_->edit, WM_VSCROLL, SB_BOTTOM, 0);
  PumpMessages();
  EXPECT_EQ(refreshNotices, 1);
  EXPECT_EQ(IsScrolledToEnd(view_), 1);
}

TEST_F(TextViewTest, EnterAndEscapeAreLeftToTheDialog) {
  const LRESULT code = SendMessageA(view_->edit, WM_GETDLGCODE, 0, 0);
  EXPECT_EQ(code & DLGC_WANTALLKEYS, 0);
  EXPECT_EQ(code & DLGC_HASSETSEL, 0);
  EXPECT_NE(code & DLGC_WANTARROWS, 0) << "the arrows still scroll the text";
}

}  // namespace
