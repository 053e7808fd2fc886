// Loading an install script: the demo script grown to 10,000 lines read into the nine item
// lists with the OS selection, as start-up does with Setup.cnf (the native load must stay
// under 5 ms), and the demo script's own size.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "core/script_model.h"
#include "core/script_parser.h"

namespace {

// The demo's own install script repeated until it has `lines` lines: the mix of sections,
// tags and line kinds of a real script.
std::string MakeScript(int lines) {
  std::string demo;
  if (FILE* file = std::fopen(Z614_DEMO_SCRIPT, "rb")) {
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) demo.append(buffer, got);
    std::fclose(file);
  }
  std::string text;
  size_t pos = 0;
  for (int i = 0; i < lines && !demo.empty(); ++i) {
    size_t end = demo.find('\n', pos);
    if (end == std::string::npos) end = demo.size() - 1;
    text.append(demo, pos, end + 1 - pos);
    pos = end + 1 >= demo.size() ? 0 : end + 1;
  }
  return text;
}

void BM_LoadScript(benchmark::State& state) {
  const std::string text = MakeScript(static_cast<int>(state.range(0)));
  const OsVersion winXp = {2, 5, 1, 2600};
  InstallScript script;
  for (auto _ : state) {
    ParseScriptText(text.data(), text.size(), winXp, &script, nullptr);
    benchmark::DoNotOptimize(script.fileItems.Count());
  }
  state.counters["items"] = static_cast<double>(script.RunItemCount());
}
BENCHMARK(BM_LoadScript)->Arg(200)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
