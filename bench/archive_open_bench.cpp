// Opening an archive: the trailer, the magic and the directory read from a real file, as the
// setup does at start-up and before every script line that names a payload file. Archives of
// 48 entries (the shipped payload) and of 10,000 entries (a stress size, which must still
// open in well under 50 ms).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "core/archive_format.h"

namespace {

class StdioSink : public ByteSink {
 public:
  explicit StdioSink(FILE* file) : file_(file) {}
  int Write(const void* data, size_t size) override { return std::fwrite(data, 1, size, file_) == size; }

 private:
  FILE* file_;
};

class StdioSource : public ArchiveSource {
 public:
  explicit StdioSource(FILE* file) : file_(file) {}
  int GetLength(uint64_t* length) override {
    if (std::fseek(file_, 0, SEEK_END) != 0) return 0;
    *length = static_cast<uint64_t>(std::ftell(file_));
    return 1;
  }
  int ReadAt(uint64_t offset, void* buffer, size_t size, size_t* got) override {
    *got = 0;
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) return 0;
    *got = std::fread(buffer, 1, size, file_);
    return 1;
  }

 private:
  FILE* file_;
};

// A packed file of `count` entries with names of the shipped kind and a few hundred bytes
// each; made once per size.
std::string MakeArchive(int count) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("z614_open_bench_" + std::to_string(count) + ".exe")).string();
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return path;
  const std::string image(0x33000, '\x90');
  std::fwrite(image.data(), 1, image.size(), file);
  StdioSink sink(file);
  ArchiveWriter writer(sink, image.size());
  writer.Begin();
  const std::string data(300, 'd');
  for (int i = 0; i < count; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "payload_entry_%05d_Z614.dll", i);
    writer.BeginEntry(name, 0x01C30F0000000000ull, 0x01C3100000000000ull);
    writer.WriteEntryData(data.data(), data.size());
    writer.EndEntry();
  }
  writer.Finish();
  std::fclose(file);
  return path;
}

void BM_OpenArchive(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::string path = MakeArchive(count);
  size_t records = 0;
  for (auto _ : state) {
    FILE* file = std::fopen(path.c_str(), "rb");
    StdioSource source(file);
    ArchiveLayout layout;
    ReadArchive(source, &layout);
    std::fclose(file);
    records = layout.directory.records.size();
    benchmark::DoNotOptimize(records);
  }
  if (records != static_cast<size_t>(count)) state.SkipWithError("the directory did not read back whole");
  state.counters["entries"] = static_cast<double>(records);
  std::remove(path.c_str());
}
BENCHMARK(BM_OpenArchive)->Arg(48)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
