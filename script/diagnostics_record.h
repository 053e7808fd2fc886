// The Diagnostics record: the CRC-32 of each installed or edited file under the product's key,
// so the card's support tools can tell a damaged installation.
#pragma once

class SetupContext;

// Writes "Software\Xelta\<model>\Diagnostics" under HKEY_LOCAL_MACHINE, value name the full
// path of the file, data its CRC-32 as eight upper-case hexadecimal digits (8 bytes, no
// terminator). Nothing is written when the file cannot be read whole, when the model name
// (string 95) cannot be loaded, or when the context does not record checksums.
// Returns 1 when the value was written.
int WriteDiagnosticsRecord(const SetupContext& context, const char* path);
