#include "core/script_line.h"

#include <cstring>

#include "core/bounded_string.h"

namespace {

// Copies text[0, length) into the field, refusing what does not fit.
int Store(FieldBuffer field, const char* text, size_t length) {
  if (field.capacity == 0 || length >= field.capacity) return 0;
  std::memcpy(field.text, text, length);
  field.text[length] = '\0';
  return 1;
}

int Fail(CutFault* fault, ScriptNote note, int field) {
  if (fault) *fault = CutFault{note, field};
  return 0;
}

}  // namespace

int ReadScriptLine(const char* data, size_t size, size_t* pos, char* line, size_t cap,
                   int* wasCut) {
  if (wasCut) *wasCut = 0;
  const size_t start = *pos;
  if (!ReadLine(data, size, pos, line, cap)) return 0;
  if (wasCut) {
    // The line's own bytes end where the consumed line end (CR, LF or CR LF) begins.
    size_t end = *pos;
    if (end > start && data[end - 1] == '\n') --end;
    if (end > start && data[end - 1] == '\r') --end;
    *wasCut = cap > 0 && end - start > cap - 1;
  }
  return 1;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

int CutSplit(const char* line, FieldBuffer first, FieldBuffer second, CutFault* fault) {
  const char* comma = std::strchr(line, ',');
  if (!comma) return Fail(fault, ScriptNote::kMissingField, 1);
  if (!Store(first, line, static_cast<size_t>(comma - line)))
    return Fail(fault, ScriptNote::kFieldTooLong, 0);
  if (!Store(second, comma + 1, std::strlen(comma + 1)))
    return Fail(fault, ScriptNote::kFieldTooLong, 1);
  return 1;
}

int CutScan(const char* line, const FieldBuffer* fields, size_t count, CutFault* fault,
            int* ignoredTail) {
  if (ignoredTail) *ignoredTail = 0;
  const char* p = line;
  for (size_t i = 0; i + 1 < count; ++i) {
    const size_t length = std::strcspn(p, ",'");
    const int index = static_cast<int>(i);
    if (length == 0) return Fail(fault, ScriptNote::kEmptyField, index);
    if (p[length] == '\'') return Fail(fault, ScriptNote::kApostrophe, index);
    if (p[length] != ',') return Fail(fault, ScriptNote::kMissingField, index + 1);
    if (!Store(fields[i], p, length)) return Fail(fault, ScriptNote::kFieldTooLong, index);
    p += length + 1;
  }
  const int last = static_cast<int>(count - 1);
  size_t length = 0;
  while (p[length] && !IsBlank(p[length])) ++length;
  if (length == 0) return Fail(fault, ScriptNote::kEmptyField, last);
  if (!Store(fields[count - 1], p, length)) return Fail(fault, ScriptNote::kFieldTooLong, last);
  if (ignoredTail) *ignoredTail = p[length] != '\0';
  return 1;
}

int CutCommas(const char* line, const FieldBuffer fields[5], CutFault* fault) {
  const char* p = line;
  for (int i = 0; i < 4; ++i) {
    const char* comma = std::strchr(p, ',');
    if (!comma) return Fail(fault, ScriptNote::kMissingField, i + 1);
    if (!Store(fields[i], p, static_cast<size_t>(comma - p)))
      return Fail(fault, ScriptNote::kFieldTooLong, i);
    p = comma + 1;
  }
  if (!Store(fields[4], p, std::strlen(p))) return Fail(fault, ScriptNote::kFieldTooLong, 4);
  return 1;
}

int32_t ReadDecimal(const char* text, int* clean) {
  const char* p = text;
  while (IsBlank(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  uint32_t value = 0;
  const char* digits = p;
  while (*p >= '0' && *p <= '9') value = value * 10u + static_cast<uint32_t>(*p++ - '0');
  if (clean) *clean = p != digits && *p == '\0';
  if (negative) value = 0u - value;
  int32_t result;
  std::memcpy(&result, &value, sizeof result);  // the bits as a signed number, without overflow
  return result;
}
