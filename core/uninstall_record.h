// The text of one record of the uninstall script: a one-line section appended to Remove.cnf.
//
// Grammar of a record (CR LF line ends, as the engine writes them):
//   record = "[" action *tag "]" CRLF line CRLF CRLF
//   action = "AddFile" / "AddShellLink" / "AddFolder"
//   tag    = ".Admin" / ".UI" / ".Driver" / ".Help" / ".SMS" / ".SC"  ; one per bit, this order;
//                                              ; a mask of 63 (all six) or 0 writes none
// Record lines: AddFile "," path; AddShellLink path ",,,,"; AddFolder path.
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/component_set.h"

// Room for the longest record: the bracket, keyword and five tags, a line of 4095 characters,
// the line ends and the terminator.
constexpr size_t kUninstallRecordSize = 4160;

// Writes the record text into out (capacity bytes) and returns its length without the
// terminator. A record that does not fit is refused: 0 is returned and out holds "".
size_t FormatUninstallRecord(const char* action, const char* line, ComponentSet mask, char* out,
                             size_t capacity);
