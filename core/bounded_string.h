// Bounded text helpers over fixed ANSI buffers. Every writer takes the capacity of its
// destination (bytes, terminating zero included) and cuts or refuses rather than overrun.
#pragma once
#include <cstddef>

// Copies src into dst (capacity cap), cutting it to cap - 1 characters.
// Returns 1 when the whole text fit, 0 when it was cut (dst still holds the cut text).
int CopyText(char* dst, size_t cap, const char* src);

// Appends src behind the text in dst, cutting as CopyText does. Returns 1 when it all fit.
int AppendText(char* dst, size_t cap, const char* src);

// Compares two texts without regard to ASCII letter case (strcmp-like result).
int CompareNoCase(const char* a, const char* b);
inline bool EqualsNoCase(const char* a, const char* b) { return CompareNoCase(a, b) == 0; }

// First occurrence of needle in text without regard to letter case; nullptr when either is
// empty or the needle is longer than the text.
const char* FindTextNoCase(const char* text, const char* needle);

// Replaces the first occurrence of `what` in the zero-terminated text in buf (capacity cap)
// with `with`, moving the tail. The exact variant compares with regard to case, the other
// without. Returns 1 when replaced; 0 when `what` is empty or absent, or when the result would
// not fit in cap (the buffer is then left unchanged).
int ReplaceFirst(char* buf, size_t cap, const char* what, const char* with);
int ReplaceFirstNoCase(char* buf, size_t cap, const char* what, const char* with);

// Copies the next line of a memory buffer into line (capacity cap, the line cut to fit) up to
// CR or LF, then steps over one CR and one LF. pos is the read position, advanced past the
// line. Returns 0 when pos is already at the end, else 1.
int ReadLine(const char* data, size_t size, size_t* pos, char* line, size_t cap);

// File-name wildcard match as the shell does it: '*' any run, '?' one character, letters
// without regard to case; the whole name must match.
bool MatchWildcard(const char* name, const char* pattern);
