// An open file handle as the source of an archive's bytes. It works on every Windows the
// setup runs on: 64-bit positions through SetFilePointer and GetFileSize, which Windows 98
// has (their Ex forms it has not).
#pragma once
#include <windows.h>

#include "core/archive_format.h"

class ArchiveFileSource : public ArchiveSource {
 public:
  // Borrows `file`; whoever opened the handle closes it.
  explicit ArchiveFileSource(HANDLE file) : file_(file) {}

  int GetLength(uint64_t* length) override;
  int ReadAt(uint64_t offset, void* buffer, size_t size, size_t* got) override;

 private:
  HANDLE file_;
};

// Opens `path` for reading, sharing reads with others; INVALID_HANDLE_VALUE on failure.
HANDLE OpenArchiveFile(const char* path);
