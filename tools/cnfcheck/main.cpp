// cnfcheck: reads an install script as the setup would for a chosen system and components,
// prints the items a run would take, and warns about every line the setup would silently drop
// or alter; with --reg, shows what a registry text would write.
//
// Exit status: 0 nothing to warn about, 1 warnings, 2 unreadable input or a wrong command line.
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "tools/cnfcheck/check_options.h"
#include "tools/cnfcheck/payload_index.h"
#include "tools/cnfcheck/registry_check.h"
#include "tools/cnfcheck/report_output.h"
#include "tools/cnfcheck/script_check.h"

namespace {

constexpr int kClean = 0;
constexpr int kWarnings = 1;
constexpr int kUnreadable = 2;

const char kUsage[] =
    "usage: cnfcheck [--os OS] [--components SET | --switches TEXT] [--payload FOLDER|EXE] [--json] SCRIPT\n"
    "       cnfcheck --reg FILE [--json]\n"
    "  OS   win98se, winme, win2k, winxp or all (the default)\n"
    "  SET  tags such as UI,Driver,SC, or a number; the default is all six (63)\n"
    "  TEXT the setup's switches of a silent install, as one argument, such as\n"
    "       \"/Silent /Components Help,Admin\" or \"/Type Typical\": the components that run installs\n"
    "exit status: 0 clean, 1 warnings, 2 unreadable input\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "cnfcheck: %s\n", message.c_str());
  return kUnreadable;
}

int Usage(const std::string& message) {
  if (!message.empty()) std::fprintf(stderr, "cnfcheck: %s\n", message.c_str());
  std::fputs(kUsage, stderr);
  return kUnreadable;
}

// Scripts and registry texts are read whole into the setup's memory; anything near this size
// is no such text, and a device that never ends (a pipe, /dev/zero) must not keep the tool busy.
constexpr size_t kMaxInputSize = 64u << 20;

// Reads a whole file; a folder, a file that cannot be read and an endless input are refused
// with the reason in *error.
int ReadWholeFile(const std::string& path, std::vector<char>* bytes, std::string* error) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return *error = path + ": cannot be read", 0;
  char chunk[65536];
  size_t got = 0;
  bool tooLarge = false;
  while (!tooLarge && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    bytes->insert(bytes->end(), chunk, chunk + got);
    tooLarge = bytes->size() > kMaxInputSize;
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (tooLarge) return *error = path + ": larger than 64 MiB, which no script or registry text is", 0;
  if (failed) return *error = path + ": cannot be read", 0;
  return 1;
}

struct CommandLine {
  std::string os = "all";
  std::string components;
  std::string switches;
  std::string payload;
  std::string reg;
  std::string script;
  bool json = false;
};

int ParseCommandLine(int argc, char** argv, CommandLine* line, std::string* error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    std::string* value = arg == "--os"           ? &line->os
                         : arg == "--components" ? &line->components
                         : arg == "--switches"   ? &line->switches
                         : arg == "--payload"    ? &line->payload
                         : arg == "--reg"        ? &line->reg
                                                 : nullptr;
    if (value) {
      if (i + 1 >= argc) return *error = arg + " needs a value", 0;
      *value = argv[++i];
    } else if (arg == "--json") {
      line->json = true;
    } else if (!arg.empty() && arg[0] == '-') {
      return *error = "unknown option " + arg, 0;
    } else if (line->script.empty()) {
      line->script = arg;
    } else {
      return *error = "more than one script named", 0;
    }
  }
  if (line->reg.empty() == line->script.empty()) return *error = "name either a SCRIPT or --reg FILE", 0;
  if (!line->components.empty() && !line->switches.empty()) {
    return *error = "name the components either with --components or with --switches", 0;
  }
  return 1;
}

int CheckRegistryFile(const CommandLine& line) {
  std::vector<char> text;
  std::string error;
  if (!ReadWholeFile(line.reg, &text, &error)) return Fail(error);
  RegistryReport report;
  CheckRegistryText(text.data(), text.size(), &report);
  const std::string out = line.json ? RegistryReportJson(report, line.reg) : RegistryReportText(report, line.reg);
  std::fwrite(out.data(), 1, out.size(), stdout);
  return report.warnings.empty() ? kClean : kWarnings;
}

int CheckScriptFile(const CommandLine& line) {
  ScriptCheckOptions options{{}, kAllComponents, nullptr};
  if (!ParseSystemName(line.os.c_str(), &options.systems))
    return Usage("unknown system \"" + line.os + "\"");
  std::string reason;
  if (!line.components.empty() && !ParseComponentSet(line.components.c_str(), &options.selection, &reason))
    return Usage(reason);
  if (!line.switches.empty() && !ParseInstallSwitches(line.switches.c_str(), &options.selection, &reason))
    return Usage("--switches: " + reason);
  PayloadIndex payload;
  if (!line.payload.empty()) {
    if (!payload.Load(line.payload, &reason)) return Fail(reason);
    options.payload = &payload;
    const char* missing =
        line.switches.empty() ? nullptr : ComponentNotOffered(options.selection, payload);
    if (missing) {
      return Usage(std::string("--switches: the setup refuses the run: its payload does not offer ") +
                   missing);
    }
  }
  std::vector<char> text;
  if (!ReadWholeFile(line.script, &text, &reason)) return Fail(reason);

  ScriptReport report;
  CheckScript(text.data(), text.size(), options, &report);
  WriteScriptReport(report, text.data(), text.size(), line.script, options, line.json, stdout);
  return report.warnings.empty() ? kClean : kWarnings;
}

int Run(int argc, char** argv) {
  CommandLine line;
  std::string error;
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return kClean;
  }
  if (!ParseCommandLine(argc, argv, &line, &error)) return Usage(error);
  return line.reg.empty() ? CheckScriptFile(line) : CheckRegistryFile(line);
}

}  // namespace

int main(int argc, char** argv) {
  // Out of memory on a huge input is an input the tool cannot read, not a crash.
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    return Fail("out of memory");
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
}
