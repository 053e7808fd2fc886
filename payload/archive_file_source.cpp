#include "payload/archive_file_source.h"

int ArchiveFileSource::GetLength(uint64_t* length) {
  DWORD high = 0;
  SetLastError(NO_ERROR);
  const DWORD low = GetFileSize(file_, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return 0;
  *length = (static_cast<uint64_t>(high) << 32) | low;
  return 1;
}

int ArchiveFileSource::ReadAt(uint64_t offset, void* buffer, size_t size, size_t* got) {
  *got = 0;
  LONG high = static_cast<LONG>(offset >> 32);
  SetLastError(NO_ERROR);
  const DWORD low = SetFilePointer(file_, static_cast<LONG>(static_cast<DWORD>(offset)), &high, FILE_BEGIN);
  if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return 0;
  // ReadFile counts in DWORDs; a position past the end reads nothing and is no error.
  unsigned char* at = static_cast<unsigned char*>(buffer);
  while (*got < size) {
    const size_t left = size - *got;
    const DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
    DWORD read = 0;
    if (!ReadFile(file_, at + *got, chunk, &read, nullptr)) return 0;
    if (read == 0) break;
    *got += read;
  }
  return 1;
}

HANDLE OpenArchiveFile(const char* path) {
  return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}
