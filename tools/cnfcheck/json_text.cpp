#include "tools/cnfcheck/json_text.h"

#include <cstdint>
#include <cstdio>

namespace {

// Code page 1252 at 0x80-0x9F; the five unassigned bytes keep their C1 control value.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

uint16_t UnicodeOf(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte;
}

}  // namespace

void AppendJsonString(std::string* out, const char* text, size_t length) {
  out->push_back('"');
  for (size_t i = 0; i < length; ++i) {
    const unsigned char byte = static_cast<unsigned char>(text[i]);
    switch (byte) {
      case '"': *out += "\\\""; continue;
      case '\\': *out += "\\\\"; continue;
      case '\n': *out += "\\n"; continue;
      case '\r': *out += "\\r"; continue;
      case '\t': *out += "\\t"; continue;
      default: break;
    }
    if (byte >= 0x20 && byte < 0x7F) {
      out->push_back(static_cast<char>(byte));
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", UnicodeOf(byte));
      *out += escape;
    }
  }
  out->push_back('"');
}

void AppendJsonString(std::string* out, const std::string& text) {
  AppendJsonString(out, text.data(), text.size());
}
