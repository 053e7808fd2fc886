#include "tools/cnfcheck/zero_byte_check.h"

#include <cstring>
#include <string>

#include "core/script_line.h"

void CheckZeroBytes(const char* text, size_t size, WarningList* warnings) {
  size_t pos = 0;
  uint32_t line = 0;
  while (pos < size) {
    ++line;
    const char* start = text + pos;
    size_t length = 0;
    while (pos + length < size && start[length] != '\r' && start[length] != '\n') ++length;
    const size_t read = length < kScriptLineSize - 1 ? length : kScriptLineSize - 1;
    const void* zero = std::memchr(start, 0, read);
    if (zero) {
      const size_t column = static_cast<size_t>(static_cast<const char*>(zero) - start) + 1;
      warnings->push_back(CheckWarning{line, "zero-byte",
                                       "a zero byte at column " + std::to_string(column) +
                                           ": the setup reads the line only up to it, and the rest is lost"});
    }
    pos += length;
    // One CR and then one LF end the line, as in the loader.
    if (pos < size && text[pos] == '\r') ++pos;
    if (pos < size && text[pos] == '\n') ++pos;
  }
}
