#include "core/bounded_string.h"

#include <cstring>

namespace {

// ASCII letters folded to lower case; every other byte stays. A table, because the script
// loader compares every header against every tag name.
struct LowerTable {
  unsigned char map[256];
  constexpr LowerTable() : map() {
    for (int c = 0; c < 256; ++c) map[c] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  }
};
constexpr LowerTable kLower;

inline char Lower(char c) { return static_cast<char>(kLower.map[static_cast<unsigned char>(c)]); }

const char* FindExact(const char* text, const char* needle) { return std::strstr(text, needle); }

int ReplaceAt(char* buf, size_t cap, const char* at, size_t whatLen, const char* with) {
  const size_t total = std::strlen(buf);
  const size_t withLen = std::strlen(with);
  if (total - whatLen + withLen + 1 > cap) return 0;
  char* const hole = buf + (at - buf);
  std::memmove(hole + withLen, hole + whatLen, total - static_cast<size_t>(hole - buf) - whatLen + 1);
  std::memcpy(hole, with, withLen);
  return 1;
}

}  // namespace

int CopyText(char* dst, size_t cap, const char* src) {
  if (cap == 0) return 0;
  dst[0] = '\0';
  return AppendText(dst, cap, src);
}

int AppendText(char* dst, size_t cap, const char* src) {
  if (cap == 0) return 0;
  size_t used = strnlen(dst, cap);
  if (used >= cap) {  // an unterminated destination is terminated at its end
    dst[cap - 1] = '\0';
    return 0;
  }
  if (!src) return 1;
  const size_t len = std::strlen(src);
  const size_t room = cap - 1 - used;
  const size_t n = len < room ? len : room;
  std::memcpy(dst + used, src, n);
  dst[used + n] = '\0';
  return n == len;
}

int CompareNoCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    const unsigned char ca = static_cast<unsigned char>(Lower(*a));
    const unsigned char cb = static_cast<unsigned char>(Lower(*b));
    if (ca != cb || ca == 0) return ca - cb;
  }
}

const char* FindTextNoCase(const char* text, const char* needle) {
  if (!text || !needle || !*text || !*needle) return nullptr;
  const size_t textLen = std::strlen(text);
  const size_t needleLen = std::strlen(needle);
  if (needleLen > textLen) return nullptr;
  const char first = Lower(needle[0]);
  const char* const last = text + (textLen - needleLen);
  for (const char* p = text; p <= last; ++p) {
    if (Lower(*p) != first) continue;
    size_t k = 1;
    while (k < needleLen && Lower(p[k]) == Lower(needle[k])) ++k;
    if (k == needleLen) return p;
  }
  return nullptr;
}

int ReplaceFirst(char* buf, size_t cap, const char* what, const char* with) {
  if (!buf || !what || !*what || !with) return 0;
  const char* at = FindExact(buf, what);
  return at ? ReplaceAt(buf, cap, at, std::strlen(what), with) : 0;
}

int ReplaceFirstNoCase(char* buf, size_t cap, const char* what, const char* with) {
  if (!buf || !what || !*what || !with) return 0;
  const char* at = FindTextNoCase(buf, what);
  return at ? ReplaceAt(buf, cap, at, std::strlen(what), with) : 0;
}

int ReadLine(const char* data, size_t size, size_t* pos, char* line, size_t cap) {
  if (cap) line[0] = '\0';
  if (*pos >= size) return 0;
  // The line ends at the first CR or LF. Each window of the text is searched for an LF, then
  // for a CR in front of it; windows keep a text of CR-only line ends from being searched to
  // its end for every line.
  size_t p = *pos;
  for (;;) {
    const size_t window = size - p < 256 ? size - p : 256;
    const char* begin = data + p;
    size_t end = window;
    if (const void* lf = std::memchr(begin, '\n', end)) end = static_cast<size_t>(static_cast<const char*>(lf) - begin);
    if (const void* cr = std::memchr(begin, '\r', end)) end = static_cast<size_t>(static_cast<const char*>(cr) - begin);
    p += end;
    if (end < window || p >= size) break;
  }
  if (cap) {
    // One copy of the part that fits, rather than a test per character.
    const size_t n = p - *pos < cap - 1 ? p - *pos : cap - 1;
    std::memcpy(line, data + *pos, n);
    line[n] = '\0';
  }
  if (p < size && data[p] == '\r') ++p;
  if (p < size && data[p] == '\n') ++p;
  *pos = p;
  return 1;
}

bool MatchWildcard(const char* name, const char* pattern) {
  // Iterative match with one back-track point for the last '*'.
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name) {
    if (*pattern == '*') {
      star = pattern++;
      resume = name;
    } else if (*pattern == '?' || (*pattern && Lower(*pattern) == Lower(*name))) {
      ++pattern;
      ++name;
    } else if (star) {
      pattern = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}
