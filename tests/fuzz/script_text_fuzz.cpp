// Arbitrary bytes through the script loader for every supported system, then the macro
// expansion over every field that takes macros, in its own buffer size.
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
    buffer[capacity - 1] = '\0';
    return static_cast<int>(std::strlen(std::strncpy(buffer, "Xelta %Zx14% Text", capacity - 1)));
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
      ExpandMacros(item->source, kPathSize, kFolders, &strings);
      ExpandMacros(item->destination, kPathSize, kFolders, &strings);
      (void)Applies(*item, static_cast<ComponentSet>(i & 63));
    }
    for (size_t i = 0; i < script.shellLinkItems.Count(); ++i) {
      ShellLinkItem* item = script.shellLinkItems.At(i);
      ExpandMacros(item->link, kPathSize, kFolders, &strings);
      ExpandMacros(item->description, kTextSize, kFolders, &strings);
    }
    for (size_t i = 0; i < script.regValueItems.Count(); ++i) {
      RegValueItem* item = script.regValueItems.At(i);
      ExpandMacros(item->key, kPathSize, kFolders, &strings);
      ExpandMacros(item->data, kTextSize, kFolders, &strings);
    }
    FindFileItem(script, "License.txt");
  }
  return 0;
}
