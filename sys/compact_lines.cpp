#include "sys/compact_lines.h"

#include <shlwapi.h>

#include <cstring>

#include "core/bounded_string.h"

namespace {

// A line longer than this is cut; PathCompactPathA works on MAX_PATH buffers.
constexpr size_t kLineSize = 256;

}  // namespace

int CompactLinesToWidth(HWND window, char* text, size_t capacity) {
  if (window == nullptr || text == nullptr || capacity == 0) return 0;
  if (text[0] == '\0') return 1;
  HDC dc = GetWindowDC(window);
  if (dc == nullptr) return 0;
  RECT client = {};
  GetClientRect(window, &client);
  const UINT width = client.right > client.left ? static_cast<UINT>(client.right - client.left) : 0;

  char result[kCompactTextSize] = "";
  const size_t size = strnlen(text, capacity < kCompactTextSize ? capacity : kCompactTextSize);
  size_t pos = 0;
  char line[MAX_PATH];
  while (ReadLine(text, size, &pos, line, kLineSize)) {
    PathCompactPathA(dc, line, width);
    AppendText(result, sizeof result, line);
    AppendText(result, sizeof result, "\n");
  }
  ReleaseDC(window, dc);
  CopyText(text, capacity, result);
  return 1;
}
