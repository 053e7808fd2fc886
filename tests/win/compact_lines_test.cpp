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

  // Width of text drawn with the window's drawing context, the one the compaction measures with.
  int TextWidth(const std::string& text) const {
    HDC dc = GetWindowDC(window_);
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ReleaseDC(window_, dc);
    return size.cx;
  }

  HWND window_ = nullptr;
};

TEST_F(CompactLines, LineBreaksBecomeLineFeeds) {
  struct Case {
    const char* text;
    const char* expected;
  } const cases[] = {
      {"C:\\a.inf\r\nC:\\b.inf\r\nC:\\c.inf", "C:\\a.inf\nC:\\b.inf\nC:\\c.inf\n"},
      {"C:\\a.inf\rC:\\b.inf\n\nC:\\c.inf\r\n", "C:\\a.inf\nC:\\b.inf\n\nC:\\c.inf\n"},
      {"", ""},
  };
  for (const Case& c : cases) {
    char text[kCompactTextSize];
    std::snprintf(text, sizeof text, "%s", c.text);
    EXPECT_EQ(CompactLinesToWidth(window_, text, sizeof text), 1);
    EXPECT_STREQ(text, c.expected);
  }
}

TEST_F(CompactLines, LongPathsAreShortenedToTheClientWidth) {
  const std::string path =
      "C:\\Program Files\\Xelta\\Xelta Z614\\Drivers\\Windows NT Family\\Z614MC.sys";
  RECT client = {};
  GetClientRect(window_, &client);
  ASSERT_GT(TextWidth(path), client.right);
  char text[kCompactTextSize];
  std::snprintf(text, sizeof text, "%s\r\nC:\\a.inf", path.c_str());
  ASSERT_EQ(CompactLinesToWidth(window_, text, sizeof text), 1);

  const std::string result = text;
  const std::string first = result.substr(0, result.find('\n'));
  EXPECT_NE(first.find("..."), std::string::npos) << first;
  EXPECT_LE(TextWidth(first), client.right) << first;
  EXPECT_EQ(result.substr(first.size()), "\nC:\\a.inf\n");
}

}  // namespace
