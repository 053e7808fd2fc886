#include "core/entry_name_rules.h"

#include <cstring>

#include "core/archive_format.h"
#include "core/bounded_string.h"

namespace {

int Refuse(const char** reason, const char* why) {
  if (reason) *reason = why;
  return 0;
}

// True when the part of the name in front of its first dot, trailing spaces dropped, is a
// DOS device name: Windows opens the device for "nul", "NUL.txt" and "com1 .log" alike.
bool IsDeviceName(const char* name) {
  static const char* const kDevices[] = {"CON",  "PRN",  "AUX",  "NUL",  "CONIN$", "CONOUT$", "CLOCK$",
                                         "COM0", "COM1", "COM2", "COM3", "COM4",   "COM5",    "COM6",
                                         "COM7", "COM8", "COM9", "LPT0", "LPT1",   "LPT2",    "LPT3",
                                         "LPT4", "LPT5", "LPT6", "LPT7", "LPT8",   "LPT9"};
  char base[16];
  size_t n = 0;
  while (name[n] && name[n] != '.') {
    if (n + 1 >= sizeof base) return false;  // longer than any device name
    base[n] = name[n];
    ++n;
  }
  while (n > 0 && base[n - 1] == ' ') --n;
  base[n] = '\0';
  for (const char* device : kDevices) {
    if (EqualsNoCase(base, device)) return true;
  }
  return false;
}

}  // namespace

int CheckPlainFileName(const char* name, const char** reason) {
  if (!name || !*name) return Refuse(reason, "the name is empty");
  const size_t length = std::strlen(name);
  if (length > kMaxEntryNameLength) return Refuse(reason, "the name is longer than 259 characters");
  for (const char* p = name; *p; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c < 0x20 || c > 0x7E) return Refuse(reason, "the name has a character outside printable ASCII");
    if (c == '/' || c == '\\') return Refuse(reason, "the name holds a path separator");
    if (c == ':') return Refuse(reason, "the name holds a colon (drive letter or stream)");
    if (std::strchr("<>\"|?*", c)) return Refuse(reason, "the name holds a character Windows forbids in file names");
    if (c == ';') return Refuse(reason, "the name holds a semicolon (a pattern separator)");
  }
  // Name matching drops the leading spaces of the name it looks for, so such an entry would
  // never be found again.
  if (name[0] == ' ') return Refuse(reason, "the name starts with a space");
  if (std::strstr(name, "..")) return Refuse(reason, "the name holds \"..\"");
  if (name[length - 1] == '.' || name[length - 1] == ' ') {
    return Refuse(reason, "the name ends with a dot or a space");
  }
  if (IsDeviceName(name)) return Refuse(reason, "the name is a DOS device name");
  return 1;
}
