// Arbitrary bytes through the whole script check and registry-text check, as cnfcheck prints
// them, with what a clean report promises checked against the text itself:
// - a report grows at most in proportion to the text (identical warnings are summarised);
// - a registry text without warnings is read as it looks: every key and value line yields its
//   key or value, each key line names the key created, no line holds a zero byte, and no
//   DWORD has more digits than are read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/bounded_string.h"
#include "core/regedit_text.h"
#include "core/script_line.h"
#include "tools/cnfcheck/registry_check.h"
#include "tools/cnfcheck/report_output.h"
#include "tools/cnfcheck/script_check.h"

namespace {

void Require(bool holds) {
  if (!holds) std::abort();
}

// What the import did, in order: a key created ("[ROOT\key]") or a value set ("=").
class EventSink : public RegistrySink {
 public:
  int CreateKey(RegistryRoot root, const char* subKey) override {
    events.push_back(std::string("[") + RegistryRootName(root) + "\\" + subKey + "]");
    return 1;
  }
  int SetValue(const char*, uint32_t, const uint8_t*, uint32_t) override {
    events.push_back("=");
    return 1;
  }
  void CloseKey() override {}
  std::vector<std::string> events;
};

void CheckCleanRegistryText(const char* text, size_t size) {
  EventSink sink;
  ImportRegistryText(text, size, &sink, nullptr, nullptr);
  while (size > 0 && static_cast<unsigned char>(text[size - 1]) < 0x20) --size;
  size_t pos = 0, next = 0;
  uint32_t number = 0;
  char line[kScriptLineSize];
  for (size_t start = 0; ReadScriptLine(text, size, &pos, line, sizeof line, nullptr); start = pos) {
    size_t end = start;  // the line in the text, up to its line end
    while (end < size && text[end] != '\r' && text[end] != '\n') ++end;
    const size_t read = end - start < sizeof line - 1 ? end - start : sizeof line - 1;
    Require(std::memchr(text + start, 0, read) == nullptr);
    if (++number == 1 || (line[0] != '[' && line[0] != '"')) continue;
    Require(next < sink.events.size());
    const std::string& event = sink.events[next++];
    if (line[0] == '[') {
      Require(EqualsNoCase(event.c_str(), line));
    } else {
      Require(event == "=");
      const char* nameEnd = std::strchr(line + 1, '"');
      const char* data = nameEnd ? std::strchr(nameEnd + 1, '=') : nullptr;
      if (data && std::strncmp(data + 1, "dword:", 6) == 0) Require(std::strspn(data + 7, "0123456789abcdefABCDEF") <= 8);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  const size_t bound = 64 * size + 64 * 1024;

  ScriptCheckOptions options{{}, static_cast<ComponentSet>(size ? data[0] & 63 : 63), nullptr};
  ParseSystemName("all", &options.systems);
  PayloadIndex payload;
  payload.Add("Z614UI.exe", 10);
  payload.Add("Empty.txt", 0);
  options.payload = &payload;
  ScriptReport script;
  CheckScript(text, size, options, &script);
  Require(ScriptReportText(script, text, size, "Setup.cnf", options).size() <= bound);
  Require(ScriptReportJson(script, text, size, "Setup.cnf", options).size() <= 2 * bound);

  RegistryReport registry;
  CheckRegistryText(text, size, &registry);
  Require(RegistryReportText(registry, "a.reg").size() <= bound);
  Require(RegistryReportJson(registry, "a.reg").size() <= 2 * bound);
  if (registry.warnings.Total() == 0) CheckCleanRegistryText(text, size);
  return 0;
}
