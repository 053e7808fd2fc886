#include "core/regedit_text.h"

#include <cstring>
#include <memory>

#include "core/bounded_string.h"
#include "core/script_line.h"

namespace {

constexpr size_t kValueNameSize = 256;

struct RootName {
  const char* name;
  RegistryRoot root;
};
constexpr RootName kRoots[] = {
    {"HKEY_LOCAL_MACHINE", RegistryRoot::kLocalMachine},
    {"HKEY_CLASSES_ROOT", RegistryRoot::kClassesRoot},
    {"HKEY_CURRENT_USER", RegistryRoot::kCurrentUser},
    {"HKEY_USERS", RegistryRoot::kUsers},
    {"HKEY_CURRENT_CONFIG", RegistryRoot::kCurrentConfig},
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Importer {
 public:
  Importer(const char* text, size_t size, RegistrySink* sink, RegistryTextListener* listener)
      : text_(text), size_(size), sink_(sink), listener_(listener) {}

  RegistryTextResult Run() {
    if (!NextLine()) return {RegistryTextStop::kNone, 0};  // the header line, skipped unread
    RegistryTextStop stop = RegistryTextStop::kNone;
    while (stop == RegistryTextStop::kNone && NextLine()) {
      if (line_[0] == '\0') continue;
      if (line_[0] == '[') {
        stop = OpenKey();
      } else if (line_[0] == '"') {
        if (keyOpen_) ReadValue();
        else Note(RegistryTextNote::kValueWithoutKey);
      } else {
        Note(RegistryTextNote::kIgnoredLine);
      }
    }
    CloseKey();
    return {stop, stop == RegistryTextStop::kNone ? 0 : lineNumber_};
  }

 private:
  bool NextLine() {
    if (!ReadScriptLine(text_, size_, &pos_, line_, sizeof line_, &lineCut_)) return false;
    ++lineNumber_;
    return true;
  }

  void Note(RegistryTextNote note) const {
    if (listener_) listener_->OnNote(lineNumber_, note);
  }

  void CloseKey() {
    if (keyOpen_ && sink_) sink_->CloseKey();
    keyOpen_ = false;
  }

  RegistryTextStop OpenKey() {
    CloseKey();
    if (lineCut_) return RegistryTextStop::kKeyTooLong;
    const size_t length = std::strlen(line_);
    if (line_[length - 1] != ']') Note(RegistryTextNote::kKeyWithoutBracket);
    line_[length - 1] = '\0';  // the "]", or whatever stands last
    char* backslash = line_[0] ? std::strchr(line_ + 1, '\\') : nullptr;
    if (!backslash) return RegistryTextStop::kKeyWithoutBackslash;
    *backslash = '\0';
    const RootName* root = nullptr;
    for (const RootName& entry : kRoots)
      if (EqualsNoCase(line_ + 1, entry.name)) root = &entry;
    if (!root) return RegistryTextStop::kUnknownRoot;
    if (!sink_ || !sink_->CreateKey(root->root, backslash + 1)) return RegistryTextStop::kKeyNotCreated;
    keyOpen_ = true;
    return RegistryTextStop::kNone;
  }

  void ReadValue() {
    if (lineCut_) return Note(RegistryTextNote::kLineCut);
    const char* nameEnd = std::strchr(line_ + 1, '"');
    if (!nameEnd) return Note(RegistryTextNote::kUnreadableValue);
    const size_t nameLength = static_cast<size_t>(nameEnd - line_ - 1);
    if (nameLength >= kValueNameSize) return Note(RegistryTextNote::kUnreadableValue);
    char name[kValueNameSize];
    std::memcpy(name, line_ + 1, nameLength);
    name[nameLength] = '\0';

    const char* equals = std::strchr(nameEnd + 1, '=');
    if (!equals) return Note(RegistryTextNote::kUnreadableValue);
    const char* data = equals + 1;
    switch (*data) {
      case 'd': return ReadDword(name, data);
      case 'h': return ReadHex(name, data);
      case '"': return ReadString(name, data + 1);
      default: return Note(RegistryTextNote::kUnreadableValue);
    }
  }

  void ReadDword(const char* name, const char* data) {
    if (std::strncmp(data, "dword:", 6) != 0) return Note(RegistryTextNote::kNoDwordDigits);
    const char* p = data + 6;
    uint32_t value = 0;
    int digits = 0;
    for (; digits < 8 && HexDigit(*p) >= 0; ++digits, ++p)
      value = (value << 4) | static_cast<uint32_t>(HexDigit(*p));
    if (digits == 0) return Note(RegistryTextNote::kNoDwordDigits);
    if (HexDigit(*p) >= 0) Note(RegistryTextNote::kDwordTooLong);
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    if (sink_) sink_->SetValue(name, kRegDword, bytes, 4);
  }

  // Reads the bytes, following continuation lines; the line buffer is reused for them.
  void ReadHex(const char* name, const char* data) {
    const char* colon = std::strchr(data, ':');
    if (!colon) return Note(RegistryTextNote::kUnreadableValue);
    char valueName[kValueNameSize];
    CopyText(valueName, sizeof valueName, name);
    size_t count = 0;
    bool tooLong = false;
    bool cut = false;
    const char* p = colon + 1;
    for (;;) {
      while (*p == ' ' || *p == '\t') ++p;
      const int high = HexDigit(*p);
      if (high >= 0) {
        int byte = high;
        if (HexDigit(p[1]) >= 0) byte = byte * 16 + HexDigit(*++p);
        ++p;
        if (count < kRegistryHexSize) bytes_[count++] = static_cast<uint8_t>(byte);
        else tooLong = true;
        if (*p != ',') break;
        ++p;
      } else if (*p == '\\') {
        if (!NextLine()) break;
        cut = cut || lineCut_;
        p = line_;
        // A line that does not go on with a byte or another continuation ends the value and is
        // not read as a line of its own: a key or value written there is lost.
        const char* first = p + std::strspn(p, " \t");
        if (*first != '\0' && HexDigit(*first) < 0 && *first != '\\') Note(RegistryTextNote::kLineSwallowed);
      } else {
        break;
      }
    }
    if (tooLong) return Note(RegistryTextNote::kHexTooLong);
    if (cut) return Note(RegistryTextNote::kLineCut);
    if (sink_) sink_->SetValue(valueName, kRegBinary, bytes_, static_cast<uint32_t>(count));
  }

  // The text behind the opening quote, up to the closing one; "\\" and "\"" are escapes,
  // a backslash before anything else stays as it is.
  void ReadString(const char* name, const char* p) {
    char value[kScriptLineSize];
    size_t length = 0;
    for (;; ++p) {
      if (*p == '\0') return Note(RegistryTextNote::kUnreadableValue);
      if (*p == '"') break;
      if (*p == '\\' && (p[1] == '\\' || p[1] == '"')) ++p;
      value[length++] = *p;  // never beyond the line's own length
    }
    value[length] = '\0';
    if (sink_)
      sink_->SetValue(name, kRegSz, reinterpret_cast<const uint8_t*>(value),
                      static_cast<uint32_t>(length));
  }

  const char* text_;
  size_t size_;
  RegistrySink* sink_;
  RegistryTextListener* listener_;
  size_t pos_ = 0;
  uint32_t lineNumber_ = 0;
  int lineCut_ = 0;
  bool keyOpen_ = false;
  char line_[kScriptLineSize];
  uint8_t bytes_[kRegistryHexSize];
};

}  // namespace

const char* RegistryTextStopName(RegistryTextStop stop) {
  switch (stop) {
    case RegistryTextStop::kNone: return "none";
    case RegistryTextStop::kKeyWithoutBackslash: return "key-without-backslash";
    case RegistryTextStop::kUnknownRoot: return "unknown-root";
    case RegistryTextStop::kKeyNotCreated: return "key-not-created";
    case RegistryTextStop::kKeyTooLong: return "key-too-long";
  }
  return "unknown";
}

const char* RegistryTextNoteName(RegistryTextNote note) {
  switch (note) {
    case RegistryTextNote::kIgnoredLine: return "ignored-line";
    case RegistryTextNote::kValueWithoutKey: return "value-without-key";
    case RegistryTextNote::kUnreadableValue: return "unreadable-value";
    case RegistryTextNote::kNoDwordDigits: return "no-dword-digits";
    case RegistryTextNote::kHexTooLong: return "hex-too-long";
    case RegistryTextNote::kLineCut: return "line-cut";
    case RegistryTextNote::kKeyWithoutBracket: return "key-without-bracket";
    case RegistryTextNote::kDwordTooLong: return "dword-too-long";
    case RegistryTextNote::kLineSwallowed: return "line-swallowed";
  }
  return "unknown";
}

int ImportRegistryText(const char* text, size_t size, RegistrySink* sink,
                       RegistryTextResult* result, RegistryTextListener* listener) {
  if (result) *result = RegistryTextResult{RegistryTextStop::kNone, 0};
  if (!text || size == 0) return 1;
  // Line ends, zero bytes and other control characters at the end are dropped.
  while (size > 0 && static_cast<unsigned char>(text[size - 1]) < 0x20) --size;
  if (size == 0) return 1;
  auto importer = std::make_unique<Importer>(text, size, sink, listener);
  const RegistryTextResult outcome = importer->Run();
  if (result) *result = outcome;
  return outcome.stop == RegistryTextStop::kNone;
}
