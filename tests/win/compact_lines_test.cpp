// Path lines shortened to a real window's width, as the working pages show them.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "sys/compact_lines.h"

namespace {

class CompactLines : public testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 160, 60, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override { DestroyWindow(window_); }

  // Width of text as drawn with the window's drawing context, the one the compaction uses.
  int TextWidth(const std::string& text) const {
    HDC dc = GetWindowDC(window_);
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ReleaseDC(window_, dc);
    return size.cx;
  }

  int ClientWidth() const {
    RECT client = {};
    GetClientRect(window_, &client);
    return client.right - client.left;
  }

  HWND window_ = nullptr;
};

TEST_F(CompactLines, LineBreaksBecomeLineFeeds) {
  struct Case {
    const char* text;
    const char* expected;
  } const cases[] = {
      {"C:\\a.inf\r\nC:\\b.inf\r\nC:\\c.inf", "C:\\a.inf\nC:\\b.inf\nC:\\c.inf\n"},
      {"C:\\a.inf\rC:\\b.inf\nC:\\c.inf\r\n", "C:\\a.inf\nC:\\b.inf\nC:\\c.inf\n"},
      {"C:\\a.inf\n\nC:\\b.inf", "C:\\a.inf\n\nC:\\b.inf\n"},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    char text[kCompactTextSize];
    std::snprintf(text, sizeof text, "%s", c.text);
    EXPECT_EQ(CompactLinesToWidth(window_, text, sizeof text), 1);
    EXPECT_STREQ(text, c.expected);
  }
}

TEST_F(CompactLines, LongPathsAreShortenedToTheClientWidth) {
  const char* const path =
      "C:\\Program Files\\Xelta\\Xelta Z614\\Drivers\\Windows NT Family\\Z614MC.sys";
  ASSERT_GT(TextWidth(path), ClientWidth());
  char text[kCompactTextSize];
  std::snprintf(text, sizeof text, "%s\r\nC:\\a.inf", path);
  ASSERT_EQ(CompactLinesToWidth(window_, text, sizeof text), 1);

  const std::string result = text;
  const size_t firstEnd = result.find('\n');
  ASSERT_NE(firstEnd, std::string::npos);
  const std::string first = result.substr(0, firstEnd);
  EXPECT_NE(first.find("..."), std::string::npos) << first;
  EXPECT_LE(TextWidth(first), ClientWidth()) << first;
  EXPECT_EQ(result.substr(firstEnd + 1), "C:\\a.inf\n");
}

TEST_F(CompactLines, ResultIsCutToTheCallersBuffer) {
  // "C:\a\nb\n" would need eight bytes; the caller's buffer holds seven.
  char text[7] = "C:\\a\rb";
  EXPECT_EQ(CompactLinesToWidth(window_, text, sizeof text), 1);
  EXPECT_STREQ(text, "C:\\a\nb");
}

TEST_F(CompactLines, MissingWindowOrTextIsRefused) {
  char text[kCompactTextSize] = "C:\\a.inf";
  EXPECT_EQ(CompactLinesToWidth(nullptr, text, sizeof text), 0);
  EXPECT_STREQ(text, "C:\\a.inf");
  EXPECT_EQ(CompactLinesToWidth(window_, nullptr, 0), 0);
}

}  // namespace
