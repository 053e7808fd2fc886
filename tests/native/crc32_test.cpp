// CRC-32: the standard check values, and chunked, unaligned updates against the bit-by-bit
// definition (so a wrong table or a slip in the 16- and 8-byte steps shows).
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/crc32.h"
#include "core/crc32_paths.h"

namespace {

uint32_t BitwiseCrc32(const unsigned char* data, size_t size) {
  uint32_t value = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) {
    value ^= data[i];
    for (int bit = 0; bit < 8; ++bit) value = (value & 1) ? (value >> 1) ^ 0xEDB88320u : value >> 1;
  }
  return ~value;
}

TEST(Crc32, StandardCheckValues) {
  struct Case {
    const char* text;
    uint32_t crc;
  };
  const Case cases[] = {
      {"", 0x00000000u},
      {"a", 0xE8B7BE43u},
      {"abc", 0x352441C2u},
      {"123456789", 0xCBF43926u},
      {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Crc32(c.text, std::strlen(c.text)), c.crc);
  }
}

// Both computation paths, every length around their step sizes (8, 16, 40, 64 bytes) and
// every alignment of the start.
TEST(Crc32, EveryPathLengthAndAlignmentMatchesTheBitwiseDefinition) {
  std::mt19937 random(614);
  std::vector<unsigned char> data(400);
  for (unsigned char& b : data) b = static_cast<unsigned char>(random());
  struct Path {
    const char* name;
    uint32_t (*update)(uint32_t, const void*, size_t);
  };
  std::vector<Path> paths = {{"Crc32Update", Crc32Update}, {"tables", Crc32UpdateWithTables}};
  if (Crc32HasCarrylessMultiply()) paths.push_back({"carry-less multiply", Crc32UpdateWithCarrylessMultiply});
  for (const Path& path : paths) {
    for (size_t start = 0; start < 16; ++start) {
      for (size_t size = 0; start + size <= 300; size += (size < 200 ? 1 : 13)) {
        ASSERT_EQ(~path.update(0xFFFFFFFFu, data.data() + start, size), BitwiseCrc32(data.data() + start, size))
            << path.name << ", start " << start << ", size " << size;
      }
    }
  }
}

TEST(Crc32, UpdatesInChunksGiveTheDigestOfTheWhole) {
  std::mt19937 random(95);
  std::vector<unsigned char> data(100000);
  for (unsigned char& b : data) b = static_cast<unsigned char>(random());
  const uint32_t whole = Crc32(data.data(), data.size());
  EXPECT_EQ(whole, BitwiseCrc32(data.data(), data.size()));
  for (size_t chunk : {1u, 7u, 8u, 15u, 16u, 17u, 63u, 64u, 65u, 4096u, 65537u}) {
    uint32_t state = 0xFFFFFFFFu;
    for (size_t at = 0; at < data.size(); at += chunk) {
      state = Crc32Update(state, data.data() + at, std::min(chunk, data.size() - at));
    }
    EXPECT_EQ(~state, whole) << "chunk " << chunk;
  }
}

}  // namespace
