// CRC-32 as the payload archive and the installed-file checksums use it: the standard
// reflected polynomial 0xEDB88320, initial value all ones, final complement.
#pragma once
#include <cstddef>
#include <cstdint>

// Feeds `size` bytes into a running CRC. `state` is the running, not yet complemented value:
// start with 0xFFFFFFFF and complement the final state. Chunked updates give the same digest
// as one update over the whole data.
uint32_t Crc32Update(uint32_t state, const void* data, size_t size);

// The CRC-32 digest of one block ("123456789" gives 0xCBF43926, no bytes give 0).
inline uint32_t Crc32(const void* data, size_t size) { return ~Crc32Update(0xFFFFFFFFu, data, size); }
