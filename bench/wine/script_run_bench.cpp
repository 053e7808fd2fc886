// Timed runs of the script engine under Wine, for ./dev bench. This program is packed with the
// demo payload, so it stands for the packed setup:
//   - the load of the demo Setup.cnf grown to 10,000 lines (read from a file, OS selection,
//     precache of the licence);
//   - a headless install of the demo payload for all six components, and how much of it is
//     the archive reopening that every line naming a payload file does;
//   - the same install with the script doubled, to show that the time grows linearly.
// Each figure is the median of several runs; the installation is taken away between runs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "sys/globals.h"
#include "core/bounded_string.h"
#include "core/component_set.h"
#include "sys/module_instance.h"
#include "bench/wine/bench_timing.h"

namespace {

const char kWork[] = "C:\\z614\\bench";
const char kTarget[] = "C:\\z614\\bench\\Xelta Z614";

// The demo script from this program's own archive, its lines repeated up to `lines` lines.
std::string GrownDemoScript(size_t lines) {
  std::string demo;
  if (payloadArchive.LoadEntry("Setup.cnf")) {
    const ArchiveEntry* entry = payloadArchive.FindEntry("Setup.cnf");
    demo.assign(reinterpret_cast<const char*>(entry->data.get()), entry->size);
  }
  std::string text;
  size_t pos = 0;
  for (size_t i = 0; i < lines && !demo.empty(); ++i) {
    size_t end = demo.find('\n', pos);
    if (end == std::string::npos) end = demo.size() - 1;
    text.append(demo, pos, end + 1 - pos);
    pos = end + 1 >= demo.size() ? 0 : end + 1;
  }
  return text;
}

std::string WriteScript(const char* name, const std::string& text) {
  const std::string path = std::string(kWork) + "\\" + name;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return path;
}

double TimeLoad(const std::string& path) {
  std::vector<double> runs;
  for (int i = 0; i < 7; ++i) {
    const double start = NowMs();
    setupContext.LoadScript(path.c_str());
    runs.push_back(NowMs() - start);
  }
  return Median(runs);
}

// Installs with the given script and takes the installation away again; the install's time.
double TimeInstall(const std::string& script) {
  CopyText(setupContext.targetFolder, sizeof setupContext.targetFolder, kTarget);
  setupContext.LoadScript(script.c_str());
  const double start = NowMs();
  setupContext.RunScript(nullptr, kAllComponents, 1);
  const double elapsed = NowMs() - start;
  setupContext.LoadScript((std::string(kTarget) + "\\Remove.cnf").c_str());
  setupContext.RunUninstall(nullptr);
  return elapsed;
}

double TimeArchiveOpen() {
  std::vector<double> runs;
  for (int i = 0; i < 50; ++i) {
    const double start = NowMs();
    payloadArchive.Open("");
    runs.push_back(NowMs() - start);
  }
  return Median(runs);
}

// Items whose run opens the archive anew: every applying file, INI and registry-file item.
size_t ReopeningItems() {
  const InstallScript& s = setupContext.script;
  return s.fileItems.Count() + s.updateItems.Count() + s.appendItems.Count() +
         s.iniSectionItems.Count() + s.regFileItems.Count();
}

}  // namespace

int main() {
  instanceHandle = GetModuleHandleA(nullptr);
  CreateDirectoryA("C:\\z614", nullptr);
  CreateDirectoryA(kWork, nullptr);
  payloadArchive.Open("");
  payloadArchive.flags |= OverwriteExisting;

  const std::string big = WriteScript("Big.cnf", GrownDemoScript(10000));
  std::printf("load of a 10,000-line script: %.2f ms (median of 7)\n", TimeLoad(big));

  const std::string demo = WriteScript("Demo.cnf", GrownDemoScript(198));
  setupContext.LoadScript(demo.c_str());
  const size_t reopening = ReopeningItems();
  std::vector<double> installs;
  for (int i = 0; i < 5; ++i) installs.push_back(TimeInstall(demo));
  const double install = Median(installs);
  const double open = TimeArchiveOpen();
  std::printf("headless install of the demo payload, all components: %.1f ms (median of 5)\n", install);
  std::printf("  archive reopening: %zu opens x %.3f ms = %.1f ms (%.0f%% of the install)\n", reopening,
              open, reopening * open, 100.0 * reopening * open / install);

  // The script twice over installs the same files twice: twice the lines, about twice the time.
  const std::string doubled = WriteScript("Double.cnf", GrownDemoScript(2 * 198));
  std::vector<double> doubles;
  for (int i = 0; i < 5; ++i) doubles.push_back(TimeInstall(doubled));
  std::printf("the same script twice over: %.1f ms (%.2fx)\n", Median(doubles), Median(doubles) / install);
  return 0;
}
