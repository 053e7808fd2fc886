// Feeds arbitrary bytes to the script loader for every supported system, then runs the
// macro expansion over every field that takes macros, in its own buffer size.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/macros.h"
#include "core/script_parser.h"

namespace {

class Strings : public StringTextSource {
 public:
  int LoadText(uint32_t id, char* buffer, size_t capacity) override {
    if (capacity == 0 || id == 92) return 0;  // one missing text
    const char text[] = "Xelta %Zx14% Text";
    const size_t n = sizeof text - 1 < capacity - 1 ? sizeof text - 1 : capacity - 1;
    std::memcpy(buffer, text, n);
    buffer[n] = '\0';
    return static_cast<int>(n);
  }
};

class Listener : public ScriptParseListener {
 public:
  void OnNote(const ScriptDiagnostic& note) override { sum += note.lineNumber + std::strlen(note.line); }
  void OnPrecache(FileItem& item) override { sum += std::strlen(item.source); }
  size_t sum = 0;
};

const MacroFolders kFolders = {"D:\\Setup", "C:\\Program Files\\Xelta %Zx14%", "C:\\WINDOWS",
                               "C:\\WINDOWS\\system32", "", "C:\\Startup", "C:\\Desktop",
                               "C:\\Programs", "C:\\All\\Programs", "C:\\TEMP\\", "C:\\Data",
                               "C:\\Documents"};

void ExpandIn(char* field, size_t capacity, Strings* strings) {
  ExpandMacros(field, capacity, kFolders, strings);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const OsVersion systems[] = {{1, 4, 10, 2222}, {1, 4, 90, 3000}, {2, 5, 0, 2195}, {2, 5, 1, 2600}};
  const char* text = reinterpret_cast<const char*>(data);
  Strings strings;
  for (const OsVersion& os : systems) {
    InstallScript script;
    Listener listener;
    ParseScriptText(text, size, os, &script, &listener);
    for (size_t i = 0; i < script.fileItems.Count(); ++i) {
      FileItem* item = script.fileItems.At(i);
      ExpandIn(item->source, kPathSize, &strings);
      ExpandIn(item->destination, kPathSize, &strings);
      (void)Applies(*item, static_cast<ComponentSet>(i & 63));
    }
    for (size_t i = 0; i < script.shellLinkItems.Count(); ++i) {
      ShellLinkItem* item = script.shellLinkItems.At(i);
      ExpandIn(item->link, kPathSize, &strings);
      ExpandIn(item->description, kTextSize, &strings);
    }
    for (size_t i = 0; i < script.regValueItems.Count(); ++i) {
      RegValueItem* item = script.regValueItems.At(i);
      ExpandIn(item->key, kPathSize, &strings);
      ExpandIn(item->data, kTextSize, &strings);
    }
    FindFileItem(script, "License.txt");
  }
  return 0;
}
