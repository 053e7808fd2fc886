// Loading of install and uninstall scripts: the Win32 side of
// SetupContext::FetchScriptFile and SetupContext::LoadScript, declared in sys/setup_context.h.
// The grammar and the section selection are the core's (core/script_parser.h); this file finds
// the script beside the started executable or in the payload archive, selects sections for the
// running system (QueryOsVersion of sys/os_version.h) and precaches "<precache>" AddFile
// sources as the parser appends them.
//
// A load that cannot find or read its script fails and leaves the nine lists as they were; a
// successful load replaces them. The loader's temporary file is deleted on every path.
#pragma once
#include <cstdint>

#include "core/script_model.h"

class SetupContext;

// Prefix of the loader's temporary copy of a script (GetTempFileNameA takes three letters).
constexpr char kScriptTempPrefix[] = "xxx";

// Reads the bytes that item's source names into item.precacheData and item.precacheSize:
// the source is split at its first colon into archive path and entry name, both expanded,
// the archive opened, and the entry fetched with FetchScriptFile (a file of that name beside
// the started executable wins). Returns 1 when bytes were read, 0 otherwise (the item then
// keeps no bytes; nothing is reported). The buffer holds one byte more than precacheSize, a
// zero, so that a text page may treat it as a string.
int PrecacheFileItem(SetupContext& context, FileItem& item);
