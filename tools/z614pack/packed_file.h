// Opening a packed file for the list, extract and verify commands.
#pragma once
#include "core/archive_format.h"
#include "tools/z614pack/file_access.h"

// Opens `path`, reads its archive into `layout` and checks that the reader can use every
// record. Returns 1 on success; else reports why (naming the file) and returns 0.
int OpenPackedFile(const char* path, InputFile* file, ArchiveLayout* layout);
