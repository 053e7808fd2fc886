#include "sys/checksum.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <new>

#include "core/bounded_string.h"
#include "core/crc32.h"
#include "sys/registry_log.h"

namespace {

constexpr uint32_t kCrc32DigestLength = 4;
static_assert(kCrc32DigestLength <= kChecksumDigestCapacity, "a context holds a CRC-32 digest");

}  // namespace

int ComputeChecksum(const void* data, size_t size, ChecksumContext& context) {
  if (context.algorithm != kChecksumCrc32) return 0;
  if (size != 0 && data == nullptr) return 0;
  const uint32_t crc = ~Crc32Update(0xFFFFFFFFu, data, size);
  for (size_t i = 0; i < kCrc32DigestLength; ++i) {
    context.digest[i] = static_cast<unsigned char>(crc >> (8 * i));
  }
  context.length = kCrc32DigestLength;
  return 1;
}

int FileChecksum(const char* path, ChecksumContext& context) {
  if (path == nullptr || *path == '\0') return 0;
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;

  int result = 0;
  DWORD sizeHigh = 0;
  const DWORD size = GetFileSize(file, &sizeHigh);
  // Installed files are small; one that does not fit a single read is not checksummed.
  if (size != INVALID_FILE_SIZE && sizeHigh == 0) {
    unsigned char* buffer = new (std::nothrow) unsigned char[size != 0 ? size : 1];
    if (buffer != nullptr) {
      DWORD read = 0;
      if (ReadFile(file, buffer, size, &read, nullptr) && read == size) {
        result = ComputeChecksum(buffer, size, context);
      }
      delete[] buffer;
    }
  }
  CloseHandle(file);
  return result;
}

int ChecksumToHex(const ChecksumContext& context, char* text, size_t capacity) {
  if (text == nullptr || capacity == 0) return 0;
  text[0] = '\0';
  const uint32_t length =
      context.length < kChecksumDigestCapacity ? context.length : kChecksumDigestCapacity;
  for (uint32_t i = length; i-- > 0;) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned>(context.digest[i]));
    if (!AppendText(text, capacity, pair)) {
      // A cut checksum would record a wrong value; record none instead.
      text[0] = '\0';
      return 0;
    }
  }
  return text[0] != '\0';
}

int WriteChecksumValue(const char* keyPath, const char* valueName, const ChecksumContext& context) {
  if (keyPath == nullptr || valueName == nullptr) return 0;
  char text[64];
  if (!ChecksumToHex(context, text, sizeof text)) return 0;

  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS) {
    return 0;
  }
  LogKeyCreated(HKEY_LOCAL_MACHINE, keyPath, disposition);
  // The data length leaves out the terminating zero: readers take the eight digits as stored.
  const LONG status = RegSetValueExA(key, valueName, 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(text),
                                     static_cast<DWORD>(std::strlen(text)));
  RegCloseKey(key);
  if (status == ERROR_SUCCESS) {
    LogValueSet(HKEY_LOCAL_MACHINE, keyPath, valueName, REG_SZ, text,
                static_cast<DWORD>(std::strlen(text)));
  }
  return status == ERROR_SUCCESS;
}
