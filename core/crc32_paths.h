// The two ways Crc32Update computes: tables everywhere, and carry-less multiplication on
// x86-64 processors that have it. Exposed so that tests can hold each path to the definition
// on any machine; everything else calls Crc32Update, which picks the fastest.
#pragma once
#include <cstddef>
#include <cstdint>

// The table path alone (any processor, any build).
uint32_t Crc32UpdateWithTables(uint32_t state, const void* data, size_t size);

// True when this build and processor can take the carry-less multiplication path.
bool Crc32HasCarrylessMultiply();

// The carry-less multiplication path for its part of the data (whole 16-byte blocks, at
// least 64 bytes), the table path for the rest. Only call when Crc32HasCarrylessMultiply().
uint32_t Crc32UpdateWithCarrylessMultiply(uint32_t state, const void* data, size_t size);
