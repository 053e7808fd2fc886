// Whole-file reading and writing: the install script, the uninstall script and extracted
// payload files are handled as one block of memory each.
#pragma once
#include <cstddef>

// Reads the whole file at path in one read.
// - *buffer null: a buffer of the file's size is allocated (one byte more, holding a
//   terminating zero so text readers may treat it as a string) and stored in *buffer; release
//   it with ReleaseFileBuffer.
// - *buffer set: the caller's buffer is filled; *size must hold its capacity on entry, and a
//   file larger than that is refused (0, nothing read).
// On success *size holds the file's size. A file that cannot be opened reads as nothing:
// the result is 1 and *buffer and *size are left untouched. Returns 0 when buffer or size is
// missing, or when the file could not be read whole (an allocated buffer is then released and
// *buffer cleared).
int ReadWholeFile(const char* path, char** buffer, size_t* size);

// Releases a buffer that ReadWholeFile allocated.
void ReleaseFileBuffer(char* buffer);

// Creates or truncates the file at path and writes size bytes of data. A destination that
// cannot be opened is skipped: the result is 1 and nothing is written. Returns 0 when data is
// missing, or when the write fell short (the partial file is then deleted).
int WriteWholeFile(const char* path, const void* data, size_t size);
