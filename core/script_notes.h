// What the install-script loader noticed about a line it dropped, cut or read in a way the
// script's author may not expect. The setup itself says nothing about such lines; the notes
// exist so that a script checker can name every one of them with its line number.
#pragma once
#include <cstdint>

enum class ScriptNote : uint32_t {
  kNone = 0,
  // Lines and headers.
  kLineCut,             // longer than 4095 characters: the rest of the line was cut off
  kBeforeFirstSection,  // a line ahead of the first section header: ignored
  kUnknownKeyword,      // a bracketed line without a known keyword: read as a data line
  kKeywordRunsOn,       // the keyword is followed by more letters ("[AddFileX", "[EnableTextLines")
  kHeaderNotClosed,     // a header without "]": a tag at its end is not found
  kUnknownTag,          // a text between two dots of a header that names no tag
  kInactiveSection,     // a header whose OS tags do not fit the running system
  kInactiveLine,        // a line of an inactive section: dropped
  // Fields.
  kMissingField,        // too few commas for the action's fields: dropped
  kEmptyField,          // a field that must hold a character is empty: dropped
  kApostrophe,          // an apostrophe ends a field that is not the last: dropped
  kFieldTooLong,        // a field beyond its buffer: dropped, never cut
  kTrailingTextIgnored, // text behind the blank that ends the last field: ignored
  kDescriptionCut,      // a shortcut description beyond 511 characters: cut
  kUnknownRoot,         // an AddRegValue root other than "HKLM": dropped
  kUnknownType,         // an AddRegValue type other than "REG_SZ" or "REG_DWORD": dropped
  kNotANumber,          // a number field with text that is not part of the number
};

// A short stable name of the note ("field-too-long"), for tools that print notes.
const char* ScriptNoteName(ScriptNote note);
