#include "sys/file_io.h"

#include <windows.h>

#include <new>

#include "sys/delete_files.h"
#include "sys/setup_log.h"

int ReadWholeFile(const char* path, char** buffer, size_t* size) {
  if (buffer == nullptr || size == nullptr || path == nullptr) return 0;
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  // Optional files (a profile beside the setup, an absent uninstall script) read as nothing.
  if (file == INVALID_HANDLE_VALUE) return 1;

  DWORD sizeHigh = 0;
  const DWORD fileSize = GetFileSize(file, &sizeHigh);
  if (fileSize == INVALID_FILE_SIZE || sizeHigh != 0) {
    CloseHandle(file);
    return 0;
  }
  const bool allocated = *buffer == nullptr;
  if (!allocated && fileSize > *size) {
    CloseHandle(file);
    return 0;
  }
  *size = fileSize;
  if (allocated) {
    *buffer = new (std::nothrow) char[static_cast<size_t>(fileSize) + 1];
    if (*buffer == nullptr) {
      CloseHandle(file);
      return 0;
    }
    (*buffer)[fileSize] = '\0';
  }

  DWORD read = 0;
  const BOOL ok = ReadFile(file, *buffer, fileSize, &read, nullptr);
  CloseHandle(file);
  if (!ok || read != fileSize) {
    // Only a buffer allocated here is released; the caller's own stays the caller's.
    if (allocated) {
      delete[] *buffer;
      *buffer = nullptr;
    }
    return 0;
  }
  return 1;
}

void ReleaseFileBuffer(char* buffer) { delete[] buffer; }

int WriteWholeFile(const char* path, const void* data, size_t size) {
  if (data == nullptr || path == nullptr) return 0;
  if (static_cast<DWORD>(size) != size) return 0;  // more than one write can take
  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  // A destination that cannot be written is skipped without a word; the run goes on.
  if (file == INVALID_HANDLE_VALUE) {
    if (*path != '\0') LogAction("File not written: %s", path);
    return 1;
  }

  DWORD written = 0;
  const BOOL ok = WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr);
  CloseHandle(file);
  if (!ok || written != size) {
    DeleteFiles(path);  // never leave a truncated file behind
    return 0;
  }
  LogAction("File written: %s", path);
  return 1;
}
