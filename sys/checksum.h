// Checksums of installed files. The setup records each installed file's CRC-32 under the
// product's Diagnostics key, so the card's support tools can tell a damaged installation.
#pragma once
#include <cstddef>
#include <cstdint>

// The one supported algorithm identifier: CRC-32, the same checksum the payload archive
// stores for each of its entries.
constexpr uint32_t kChecksumCrc32 = 22;

// Digest bytes a context can hold; CRC-32 uses 4.
constexpr size_t kChecksumDigestCapacity = 4;

// Input and output of the checksum operations. The caller sets `algorithm`; the computation
// sets `length` and `digest` (for CRC-32 the 32-bit value, least significant byte first).
struct ChecksumContext {
  uint32_t algorithm = kChecksumCrc32;
  uint32_t length = 0;
  unsigned char digest[kChecksumDigestCapacity] = {};
};

// Computes the digest of size bytes at data. Returns 1 when `algorithm` is CRC-32 and the
// digest was computed; 0 for any other algorithm, leaving the context as it was.
int ComputeChecksum(const void* data, size_t size, ChecksumContext& context);

// Computes the digest of the whole file at path. Returns 1 only when every byte of the file
// was read and checksummed; 0 when it cannot be opened, read whole or the algorithm is unknown.
int FileChecksum(const char* path, ChecksumContext& context);

// Writes the digest as upper-case hexadecimal, last digest byte first (for CRC-32 the eight
// digits of the 32-bit value, most significant first), into text (capacity bytes). Returns 1
// when the text is not empty.
int ChecksumToHex(const ChecksumContext& context, char* text, size_t capacity);

// Stores the digest's hexadecimal text as the string value valueName of the key keyPath under
// HKEY_LOCAL_MACHINE, creating the key when needed. The value's data length leaves out the
// terminating zero. Returns 1 when the value was written; callers carry on either way.
int WriteChecksumValue(const char* keyPath, const char* valueName, const ChecksumContext& context);
