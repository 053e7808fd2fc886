// Registry texts in the REGEDIT4 form ("GeneralSettings.reg", AddRegFile sources, the profile
// texts), applied through a RegistrySink without any outside tool.
//
// Grammar (lines as in script_line.h; trailing bytes below 0x20 of the whole text are dropped):
//   text      = header-line *line          ; the first line ("REGEDIT4") is skipped unread
//   line      = empty / key / value / other ; "other" (also "@=..." and lines beginning with a
//                                           ; blank) is ignored
//   key       = "[" root "\" subkey any-char ; the last character (the "]") is dropped
//   root      = "HKEY_LOCAL_MACHINE" / "HKEY_CLASSES_ROOT" / "HKEY_CURRENT_USER" / "HKEY_USERS"
//             / "HKEY_CURRENT_CONFIG"      ; without regard to case
//   value     = DQUOTE name DQUOTE *( any but "=" ) "=" data   ; only while a key is open
//   data      = dword / hex / string / any ; decided by the first character behind "="
//   dword     = "dword:" 1*8HEXDIG *any    ; REG_DWORD
//   hex       = "h" *( any but ":" ) ":" bytes   ; REG_BINARY, also for "hex(2):" and the like
//   bytes     = [ byte *( "," ( byte / continue ) ) ] ...    ; reading stops where no byte
//   byte      = *blank 1*2HEXDIG                             ; can be read or no comma follows
//   continue  = *blank "\" line-end        ; the bytes go on at the start of the next line
//   string    = DQUOTE *( "\\" / "\" DQUOTE / any ) DQUOTE   ; REG_SZ; escapes give "\" and DQUOTE
//
// The import stops, keeping what it wrote, at a key line without a backslash, with a root not
// in the list, or whose key cannot be created. Limits: a key line beyond 4095 characters stops
// the import too (a cut key would name another key); a value line beyond 4095 characters and a
// hex value beyond 4096 bytes are not set (never cut); value names hold at most 255 characters.
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/registry_sink.h"

// Why an import ended before the end of the text; kNone when it read the whole text.
enum class RegistryTextStop : uint32_t {
  kNone = 0,
  kKeyWithoutBackslash,
  kUnknownRoot,
  kKeyNotCreated,
  kKeyTooLong,
};

// Lines an import passed over, for tools that show them.
enum class RegistryTextNote : uint32_t {
  kIgnoredLine,        // "@=", a line beginning with a blank or another character
  kValueWithoutKey,    // a value line while no key is open
  kUnreadableValue,    // no closing quote, no "=", an unknown data form, a name over 255
  kNoDwordDigits,      // "dword:" without a hexadecimal digit, or not "dword:" at all
  kHexTooLong,         // more than 4096 bytes: the value is not set
  kLineCut,            // a value line beyond 4095 characters: the value is not set
  kKeyWithoutBracket,  // a key line whose last character is not "]": that character is dropped
  kDwordTooLong,       // more than 8 hexadecimal digits: only the first 8 are read
  kLineSwallowed,      // a line taken as the continuation of a hex value that yields no byte:
                       // the key or value written on it is lost
};

const char* RegistryTextStopName(RegistryTextStop stop);
const char* RegistryTextNoteName(RegistryTextNote note);

class RegistryTextListener {
 public:
  virtual ~RegistryTextListener() = default;
  virtual void OnNote(uint32_t lineNumber, RegistryTextNote note) = 0;
};

struct RegistryTextResult {
  RegistryTextStop stop;
  uint32_t stoppedAtLine;  // 1-based line of the stop, 0 when the whole text was read
};

// The largest binary value the import sets.
constexpr size_t kRegistryHexSize = 4096;

// Applies a registry text held in memory (any bytes). Returns 1 when the text was read to its
// end (an empty text included), 0 when the import stopped. result and listener may be null.
int ImportRegistryText(const char* text, size_t size, RegistrySink* sink,
                       RegistryTextResult* result, RegistryTextListener* listener);
