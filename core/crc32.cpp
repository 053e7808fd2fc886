#include "core/crc32.h"

namespace {

// Slicing-by-16 tables, built by the compiler: table[0] is the classic byte-at-a-time table,
// table[k][b] is the CRC of byte b followed by k zero bytes. Being constexpr data they need no
// initialisation at run time, so the checksum is usable from any thread at any moment.
struct SliceTables {
  uint32_t table[16][256];
};

constexpr SliceTables MakeSliceTables() {
  SliceTables t{};
  for (uint32_t b = 0; b < 256; ++b) {
    uint32_t value = b;
    for (int bit = 0; bit < 8; ++bit) value = (value >> 1) ^ (0xEDB88320u & (0u - (value & 1u)));
    t.table[0][b] = value;
  }
  for (int k = 1; k < 16; ++k) {
    for (uint32_t b = 0; b < 256; ++b) {
      const uint32_t prev = t.table[k - 1][b];
      t.table[k][b] = (prev >> 8) ^ t.table[0][prev & 0xFF];
    }
  }
  return t;
}

constexpr SliceTables kTables = MakeSliceTables();
static_assert(kTables.table[0][1] == 0x77073096u, "byte table of the reflected polynomial");
static_assert(kTables.table[0][255] == 0x2D02EF8Du, "byte table of the reflected polynomial");

// Little-endian load from any alignment; compilers turn it into one load on x86.
inline uint32_t Load32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

inline uint32_t Slice4(const uint32_t (*t)[256], int first, uint32_t word) {
  return t[first][word & 0xFF] ^ t[first - 1][(word >> 8) & 0xFF] ^ t[first - 2][(word >> 16) & 0xFF] ^
         t[first - 3][word >> 24];
}

}  // namespace

uint32_t Crc32Update(uint32_t state, const void* data, size_t size) {
  const uint32_t (*t)[256] = kTables.table;
  const unsigned char* p = static_cast<const unsigned char*>(data);
  // Sixteen bytes per step while sixteen remain, then eight while eight remain, then single
  // bytes: every path yields the digest of the byte-at-a-time definition.
  while (size >= 16) {
    state = Slice4(t, 15, state ^ Load32(p)) ^ Slice4(t, 11, Load32(p + 4)) ^ Slice4(t, 7, Load32(p + 8)) ^
            Slice4(t, 3, Load32(p + 12));
    p += 16;
    size -= 16;
  }
  if (size >= 8) {
    state = Slice4(t, 7, state ^ Load32(p)) ^ Slice4(t, 3, Load32(p + 4));
    p += 8;
    size -= 8;
  }
  while (size--) state = t[0][(state ^ *p++) & 0xFF] ^ (state >> 8);
  return state;
}
