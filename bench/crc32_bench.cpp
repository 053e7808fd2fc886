// CRC-32 throughput on a 256 MiB buffer of random bytes, against zlib's crc32 in the same
// run. Before timing, both digests are compared on the whole buffer and on unaligned pieces:
// a faster CRC that gives other digests would be worthless.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <random>
#include <vector>

#include "core/crc32.h"

namespace {

constexpr size_t kBufferSize = 256u << 20;

const std::vector<unsigned char>& RandomBuffer() {
  static const std::vector<unsigned char> buffer = [] {
    std::vector<unsigned char> bytes(kBufferSize);
    std::mt19937_64 random(0x2614);
    for (size_t i = 0; i < bytes.size(); i += 8) {
      const uint64_t value = random();
      for (size_t k = 0; k < 8; ++k) bytes[i + k] = static_cast<unsigned char>(value >> (8 * k));
    }
    return bytes;
  }();
  return buffer;
}

uint32_t ZlibCrc(const unsigned char* data, size_t size) {
  return static_cast<uint32_t>(crc32_z(crc32(0L, Z_NULL, 0), data, size));
}

bool DigestsAgree() {
  const std::vector<unsigned char>& buffer = RandomBuffer();
  bool agree = true;
  const size_t pieces[][2] = {{0, kBufferSize}, {1, kBufferSize - 1}, {3, 1000003}, {7, 15}, {13, 17}, {0, 0}};
  for (const auto& piece : pieces) {
    const uint32_t ours = Crc32(buffer.data() + piece[0], piece[1]);
    const uint32_t zlibs = ZlibCrc(buffer.data() + piece[0], piece[1]);
    std::printf("digest at %zu, %zu bytes: ours %08X, zlib %08X%s\n", piece[0], piece[1], ours, zlibs,
                ours == zlibs ? "" : "  DIFFERENT");
    agree = agree && ours == zlibs;
  }
  std::printf("digests equal on random data: %s\n", agree ? "yes" : "NO");
  return agree;
}

void BM_Crc32(benchmark::State& state) {
  const std::vector<unsigned char>& buffer = RandomBuffer();
  for (auto _ : state) benchmark::DoNotOptimize(Crc32(buffer.data(), buffer.size()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(buffer.size()));
}
BENCHMARK(BM_Crc32)->Unit(benchmark::kMillisecond);

void BM_ZlibCrc32(benchmark::State& state) {
  const std::vector<unsigned char>& buffer = RandomBuffer();
  for (auto _ : state) benchmark::DoNotOptimize(ZlibCrc(buffer.data(), buffer.size()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(buffer.size()));
}
BENCHMARK(BM_ZlibCrc32)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!DigestsAgree()) return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
