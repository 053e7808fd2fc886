// Whether an archive entry name can stand as a plain file name inside a chosen folder on
// every system the payload travels to: the packer refuses to store other names, and the
// extractor refuses to write them, so no entry lands outside the folder or on a device.
#pragma once

// Returns 1 when `name` is a plain, portable file name; else 0, and *reason (when given)
// names the rule it breaks. Refused: empty names, names over 259 characters, characters
// outside printable ASCII, path separators, colons (drive letters, alternate streams),
// the characters Windows forbids in names (< > " | ? *), semicolons and leading spaces (the
// setup's name matching takes ";" for a pattern separator and drops leading spaces, so such
// an entry could never be extracted), "..", a trailing dot or space
// (Windows drops them, so "aux." would open AUX), and the DOS device names CON, PRN, AUX,
// NUL, CONIN$, CONOUT$, CLOCK$, COM0-COM9 and LPT0-LPT9, with or without an extension, in
// any case.
int CheckPlainFileName(const char* name, const char** reason);
