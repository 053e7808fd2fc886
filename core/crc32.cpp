#include "core/crc32.h"

#include "core/crc32_paths.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define CRC32_HAS_CLMUL_PATH 1
#else
#define CRC32_HAS_CLMUL_PATH 0
#endif

// Table path: the long stretch of a buffer is processed in five interleaved "braids" of 64-bit words:
// five independent CRC lanes, each over every fifth word, that the processor advances in
// parallel; the lanes are folded into one at the end. The tail is done eight bytes at a time
// (slicing-by-8), then byte by byte. Every path gives the digest of the byte-at-a-time
// definition value = table[(value ^ byte) & 255] ^ (value >> 8).

namespace {

constexpr int kBraids = 5;       // lanes processed side by side
constexpr int kWordBytes = 8;    // bytes per lane word
constexpr int kBlockBytes = kBraids * kWordBytes;

// shift[m][b]: the running value after byte b followed by m zero bytes, starting from 0.
// shift[0] is the classic byte table; shift[0..7] serve slicing-by-8, and
// shift[kBlockBytes - 8 .. kBlockBytes - 1] carry a lane across the other lanes' words.
// Built by the compiler: no initialisation at run time, usable from any thread at once.
struct ShiftTables {
  uint32_t shift[kBlockBytes][256];
};

constexpr ShiftTables MakeShiftTables() {
  ShiftTables t{};
  for (uint32_t b = 0; b < 256; ++b) {
    uint32_t value = b;
    for (int bit = 0; bit < 8; ++bit) value = (value >> 1) ^ (0xEDB88320u & (0u - (value & 1u)));
    t.shift[0][b] = value;
  }
  for (int m = 1; m < kBlockBytes; ++m) {
    for (uint32_t b = 0; b < 256; ++b) {
      const uint32_t prev = t.shift[m - 1][b];
      t.shift[m][b] = (prev >> 8) ^ t.shift[0][prev & 0xFF];
    }
  }
  return t;
}

constexpr ShiftTables kTables = MakeShiftTables();
static_assert(kTables.shift[0][1] == 0x77073096u, "byte table of the reflected polynomial");
static_assert(kTables.shift[0][255] == 0x2D02EF8Du, "byte table of the reflected polynomial");

// Little-endian loads from any alignment; compilers turn them into single loads on x86.
inline uint32_t Load32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

inline uint64_t Load64(const unsigned char* p) { return Load32(p) | (static_cast<uint64_t>(Load32(p + 4)) << 32); }

// The running value after the eight bytes of `word` (already combined with the value),
// followed by `after` zero bytes.
inline uint32_t ShiftWord(uint64_t word, int after) {
  const uint32_t(*s)[256] = kTables.shift + after;
  return s[7][word & 0xFF] ^ s[6][(word >> 8) & 0xFF] ^ s[5][(word >> 16) & 0xFF] ^ s[4][(word >> 24) & 0xFF] ^
         s[3][(word >> 32) & 0xFF] ^ s[2][(word >> 40) & 0xFF] ^ s[1][(word >> 48) & 0xFF] ^ s[0][word >> 56];
}

}  // namespace

uint32_t Crc32UpdateWithTables(uint32_t state, const void* data, size_t size) {
  const unsigned char* p = static_cast<const unsigned char*>(data);
  if (size >= 2 * kBlockBytes) {
    // Every block but the last: each lane's word is carried across the 32 bytes of the
    // other lanes' words that lie between it and the lane's next word.
    size_t blocks = size / kBlockBytes;
    size -= blocks * kBlockBytes;
    uint32_t lane0 = state, lane1 = 0, lane2 = 0, lane3 = 0, lane4 = 0;
    constexpr int kAcross = kBlockBytes - kWordBytes;
    while (--blocks) {
      const uint64_t w0 = lane0 ^ Load64(p);
      const uint64_t w1 = lane1 ^ Load64(p + 8);
      const uint64_t w2 = lane2 ^ Load64(p + 16);
      const uint64_t w3 = lane3 ^ Load64(p + 24);
      const uint64_t w4 = lane4 ^ Load64(p + 32);
      p += kBlockBytes;
      lane0 = ShiftWord(w0, kAcross);
      lane1 = ShiftWord(w1, kAcross);
      lane2 = ShiftWord(w2, kAcross);
      lane3 = ShiftWord(w3, kAcross);
      lane4 = ShiftWord(w4, kAcross);
    }
    // The last block folds the lanes into one running value, word after word.
    state = ShiftWord(lane0 ^ Load64(p), 0);
    state = ShiftWord(lane1 ^ Load64(p + 8) ^ state, 0);
    state = ShiftWord(lane2 ^ Load64(p + 16) ^ state, 0);
    state = ShiftWord(lane3 ^ Load64(p + 24) ^ state, 0);
    state = ShiftWord(lane4 ^ Load64(p + 32) ^ state, 0);
    p += kBlockBytes;
  }
  while (size >= 8) {
    state = ShiftWord(state ^ Load64(p), 0);
    p += 8;
    size -= 8;
  }
  while (size--) state = kTables.shift[0][(state ^ *p++) & 0xFF] ^ (state >> 8);
  return state;
}

// Carry-less multiplication path: four 128-bit accumulators fold 64 bytes per step, then
// fold into one, reduce to 64 and by Barrett reduction to the 32-bit running value (the
// method of Gopal et al., "Fast CRC Computation for Generic Polynomials Using PCLMULQDQ",
// in the bit-reflected domain of the polynomial 0xEDB88320). Only the 64-bit build takes it:
// the 32-bit setup runs on processors and systems that may lack these instructions, and
// there the table path is fast enough.
#if CRC32_HAS_CLMUL_PATH

namespace {

// Fold constants x^(n) mod P for the reflected polynomial, and the Barrett constants.
alignas(16) const uint64_t kFold64[2] = {0x0154442bd4ull, 0x01c6e41596ull};  // across 64 bytes
alignas(16) const uint64_t kFold16[2] = {0x01751997d0ull, 0x00ccaa009eull};  // across 16 bytes
alignas(16) const uint64_t kFold8[2] = {0x0163cd6124ull, 0};                 // 128 to 64 bits
alignas(16) const uint64_t kBarrett[2] = {0x01db710641ull, 0x01f7011641ull};  // P' and mu

// Folds the 128-bit accumulator across 16 bytes onto the next block.
__attribute__((target("pclmul,sse4.1"))) inline __m128i Fold16(__m128i acc, __m128i next, __m128i k) {
  const __m128i low = _mm_clmulepi64_si128(acc, k, 0x00);
  const __m128i high = _mm_clmulepi64_si128(acc, k, 0x11);
  return _mm_xor_si128(_mm_xor_si128(high, next), low);
}

// Requires size >= 64 and a multiple of 16; takes and yields the running value.
__attribute__((target("pclmul,sse4.1"))) uint32_t FoldBlocks(uint32_t state, const unsigned char* p, size_t size) {
  __m128i x1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  __m128i x2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
  __m128i x3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32));
  __m128i x4 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48));
  x1 = _mm_xor_si128(x1, _mm_cvtsi32_si128(static_cast<int>(state)));
  __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold64));
  p += 64;
  size -= 64;
  while (size >= 64) {
    const __m128i l1 = _mm_clmulepi64_si128(x1, k, 0x00);
    const __m128i l2 = _mm_clmulepi64_si128(x2, k, 0x00);
    const __m128i l3 = _mm_clmulepi64_si128(x3, k, 0x00);
    const __m128i l4 = _mm_clmulepi64_si128(x4, k, 0x00);
    x1 = _mm_clmulepi64_si128(x1, k, 0x11);
    x2 = _mm_clmulepi64_si128(x2, k, 0x11);
    x3 = _mm_clmulepi64_si128(x3, k, 0x11);
    x4 = _mm_clmulepi64_si128(x4, k, 0x11);
    x1 = _mm_xor_si128(_mm_xor_si128(x1, l1), _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    x2 = _mm_xor_si128(_mm_xor_si128(x2, l2), _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16)));
    x3 = _mm_xor_si128(_mm_xor_si128(x3, l3), _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32)));
    x4 = _mm_xor_si128(_mm_xor_si128(x4, l4), _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48)));
    p += 64;
    size -= 64;
  }

  // Four accumulators into one, then the remaining 16-byte blocks.
  k = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold16));
  x1 = Fold16(x1, x2, k);
  x1 = Fold16(x1, x3, k);
  x1 = Fold16(x1, x4, k);
  while (size >= 16) {
    x1 = Fold16(x1, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), k);
    p += 16;
    size -= 16;
  }

  // 128 bits to 64.
  const __m128i mask32 = _mm_setr_epi32(~0, 0, ~0, 0);
  x2 = _mm_clmulepi64_si128(x1, k, 0x10);
  x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2);
  k = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kFold8));
  x2 = _mm_srli_si128(x1, 4);
  x1 = _mm_and_si128(x1, mask32);
  x1 = _mm_xor_si128(_mm_clmulepi64_si128(x1, k, 0x00), x2);

  // Barrett reduction to 32 bits.
  k = _mm_load_si128(reinterpret_cast<const __m128i*>(kBarrett));
  x2 = _mm_and_si128(x1, mask32);
  x2 = _mm_clmulepi64_si128(x2, k, 0x10);
  x2 = _mm_and_si128(x2, mask32);
  x2 = _mm_clmulepi64_si128(x2, k, 0x00);
  x1 = _mm_xor_si128(x1, x2);
  return static_cast<uint32_t>(_mm_extract_epi32(x1, 1));
}

// The processor's features are read by the compiler runtime's start-up code; the explicit
// initialisation (a no-op once done) keeps this right even for a checksum taken while
// static objects are constructed.
bool ProcessorHasClmul() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
}

}  // namespace

bool Crc32HasCarrylessMultiply() { return ProcessorHasClmul(); }

uint32_t Crc32UpdateWithCarrylessMultiply(uint32_t state, const void* data, size_t size) {
  const unsigned char* p = static_cast<const unsigned char*>(data);
  if (size >= 64) {
    const size_t blocks = size & ~static_cast<size_t>(15);
    state = FoldBlocks(state, p, blocks);
    p += blocks;
    size -= blocks;
  }
  return Crc32UpdateWithTables(state, p, size);
}

uint32_t Crc32Update(uint32_t state, const void* data, size_t size) {
  if (size >= 64 && ProcessorHasClmul()) return Crc32UpdateWithCarrylessMultiply(state, data, size);
  return Crc32UpdateWithTables(state, data, size);
}

#else

bool Crc32HasCarrylessMultiply() { return false; }

uint32_t Crc32UpdateWithCarrylessMultiply(uint32_t state, const void* data, size_t size) {
  return Crc32UpdateWithTables(state, data, size);
}

uint32_t Crc32Update(uint32_t state, const void* data, size_t size) { return Crc32UpdateWithTables(state, data, size); }

#endif
