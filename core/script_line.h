// Lines of an install script and the three ways of cutting a data line into fields.
//
// Grammar (8-bit text; "blank" is a space, tab, vertical tab or form feed):
//   text        = *( line line-end ) [ line ]
//   line-end    = CR [ LF ] / LF              ; one CR and then one LF directly behind the line
//                                             ; are consumed; LF CR leaves an empty line behind
//   line        = 0*4095 ( any but CR / LF )  ; nothing is trimmed
//
//   split-line  = first "," second            ; first runs to the first ","; second is the rest
//                                             ; (it may hold commas and blanks); both may be empty
//   scan-line   = 1*( field "," ) last        ; the number of fields is fixed by the action
//     field     = 1*( any but "," / "'" )     ; an apostrophe ends the field and fails the line
//     last      = 1*( any but blank ) [ blank *any ]   ; text behind the blank is ignored
//   commas-line = f "," f "," f "," f "," rest         ; f = *( any but "," ); rest may hold commas
//   decimal     = *blank [ "+" / "-" ] *digit *any     ; no digit reads as 0
//
// Every field is copied into a caller's fixed buffer. A field that does not fit is refused
// (the cut fails with kFieldTooLong), never cut: a path cut short would name another file.
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/script_notes.h"

// The line buffer of the loader: at most 4095 characters and the terminator.
constexpr size_t kScriptLineSize = 4096;

// Reads the next line of data (size bytes) at *pos into line (capacity cap) and steps over
// its line end. A longer line is cut to cap - 1 characters and *wasCut is set to 1.
// Returns 0 when *pos is already at the end of the data, else 1.
int ReadScriptLine(const char* data, size_t size, size_t* pos, char* line, size_t cap,
                   int* wasCut);

// True for the blanks that end the last field of a scan-line and lead a decimal number.
bool IsBlank(char c);

// One field's destination buffer and its capacity (terminator included).
struct FieldBuffer {
  char* text;
  size_t capacity;
};

// Why a cut failed, and which field (0-based) it concerned.
struct CutFault {
  ScriptNote note;
  int field;
};

// split-line into two fields. Returns 1 when cut; 0 with a fault (kMissingField when the line
// holds no comma, kFieldTooLong).
int CutSplit(const char* line, FieldBuffer first, FieldBuffer second, CutFault* fault);

// scan-line into count fields (count >= 1). Returns 1 when cut; 0 with a fault (kMissingField,
// kEmptyField, kApostrophe, kFieldTooLong). *ignoredTail is set to 1 when text behind the
// last field's blank was ignored.
int CutScan(const char* line, const FieldBuffer* fields, size_t count, CutFault* fault,
            int* ignoredTail);

// commas-line into five fields. Returns 1 when cut; 0 with a fault (kMissingField when the
// line holds fewer than four commas, kFieldTooLong).
int CutCommas(const char* line, const FieldBuffer fields[5], CutFault* fault);

// Reads a decimal number by the decimal rule above. The digits are taken modulo 2^32 (so
// "4294967295" and "-1" both give 0xFFFFFFFF) and the result is returned as the signed
// 32-bit number of those bits. *clean (when given) is set to 1 when nothing but blanks, the
// sign and at least one digit stood in the text.
int32_t ReadDecimal(const char* text, int* clean);
