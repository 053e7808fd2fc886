#include "tools/z614pack/printable_name.h"

#include <cstdio>

std::string PrintableName(const char* name) {
  std::string out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p; ++p) {
    if (*p < 0x20 || *p > 0x7E || *p == '\\') {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", *p);
      out += escape;
    } else {
      out += static_cast<char>(*p);
    }
  }
  return out;
}
