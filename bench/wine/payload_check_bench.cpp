// Timed run of the payload check under Wine, for ./dev bench: this program is packed with a
// payload of 256 MiB (eight entries of 32 MiB), which a script of nine AddFile lines installs
// as the setup would, the uninstaller copy of the whole setup included. It prints the check's
// time against the install's, each the median of three warm runs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/bounded_string.h"
#include "core/component_set.h"
#include "script/payload_check.h"
#include "sys/globals.h"
#include "sys/module_instance.h"
#include "bench/wine/bench_timing.h"

namespace {

const char kWork[] = "C:\\z614\\bench";
const char kTarget[] = "C:\\z614\\bench\\Xelta Z614";
constexpr int kParts = 8;
constexpr int kRuns = 3;

std::string WriteScript() {
  std::string text = "[AddFile]\r\n:,%TARGETFOLDER%\\Uninstall.exe\r\n";
  for (int i = 1; i <= kParts; ++i) {
    text += ":part" + std::to_string(i) + ".bin,%TARGETFOLDER%\\part" + std::to_string(i) + ".bin\r\n";
  }
  const std::string path = std::string(kWork) + "\\Big.cnf";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return path;
}

}  // namespace

int main() {
  instanceHandle = GetModuleHandleA(nullptr);
  CreateDirectoryA("C:\\z614", nullptr);
  CreateDirectoryA(kWork, nullptr);
  payloadArchive.Open("");
  payloadArchive.flags |= OverwriteExisting;
  CopyText(setupContext.targetFolder, sizeof setupContext.targetFolder, kTarget);
  const std::string script = WriteScript();

  std::vector<double> checks, installs;
  for (int run = 0; run < kRuns; ++run) {
    setupContext.LoadScript(script.c_str());
    char damaged[MAX_PATH];
    double start = NowMs();
    const int sound = CheckPayloadEntries(setupContext, kAllComponents, nullptr, damaged);
    checks.push_back(NowMs() - start);
    if (!sound) {
      std::printf("the payload is damaged: %s\n", damaged);
      return 1;
    }
    start = NowMs();
    setupContext.RunScript(nullptr, kAllComponents, 0);
    installs.push_back(NowMs() - start);
    setupContext.LoadScript((std::string(kTarget) + "\\Remove.cnf").c_str());
    setupContext.RunUninstall(nullptr);
  }
  const double check = Median(checks), install = Median(installs);
  std::printf("payload check of %d entries, 256 MiB: %.0f ms (median of %d)\n", kParts, check, kRuns);
  std::printf("install of that payload with its uninstaller copy: %.0f ms (median of %d)\n",
              install, kRuns);
  std::printf("the check adds %.1f%% to the install\n", 100.0 * check / install);
  return 0;
}
