// Names from a foreign archive as the packer writes them to a terminal or a listing: bytes
// outside printable ASCII, and the backslash, as \xNN, so that no name can move the cursor,
// ring the bell or start an escape sequence, and every name stays on one line.
#pragma once
#include <string>

std::string PrintableName(const char* name);
