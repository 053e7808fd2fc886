#include "core/command_line.h"

#include <cstdlib>

#include "core/bounded_string.h"

void CommandLine::Parse(const char* text, int skipFirst) {
  arguments.Clear();
  if (!text) return;
  char token[kTokenBufferSize];
  size_t length = 0;
  bool inQuotes = false;
  for (const char* p = text;; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c == '"') {
      inQuotes = !inQuotes;
    } else if (c != 0 && (c > 0x20 || inQuotes)) {
      if (length + 1 < sizeof token) token[length++] = static_cast<char>(c);
    } else {
      if (length > 0) {
        if (skipFirst) {
          skipFirst = 0;
        } else {
          arguments.Append(std::make_unique<std::string>(token, length));
        }
      }
      length = 0;
    }
    if (c == 0) break;
  }
}

bool CommandLine::IsSwitch(const char* argument) {
  if (!argument || !*argument) return false;
  if (argument[0] == '/') return true;
  if (argument[0] == '-' || argument[0] == '+') return std::strtod(argument, nullptr) == 0.0;
  return false;
}

const char* CommandLine::Argument(size_t index) const {
  const std::string* argument = arguments.At(index);
  return argument ? argument->c_str() : nullptr;
}

int CommandLine::FindSwitch(const char* name) const {
  for (size_t i = 0; i < arguments.Count(); ++i) {
    const char* argument = Argument(i);
    if (IsSwitch(argument) && EqualsNoCase(argument + 1, name)) return static_cast<int>(i);
  }
  return -1;
}

int CommandLine::GetSwitchValue(const char* name, int count, char* out, size_t outSize,
                                const char* defaultValue) const {
  CopyText(out, outSize, defaultValue ? defaultValue : "");
  const int index = FindSwitch(name);
  if (index < 0 || count < 1) return 0;
  if (static_cast<size_t>(index) + static_cast<size_t>(count) >= arguments.Count()) return 0;
  for (int k = 1; k <= count; ++k) {
    if (IsSwitch(Argument(static_cast<size_t>(index + k)))) return 0;
  }
  CopyText(out, outSize, Argument(static_cast<size_t>(index + count)));
  return 1;
}
