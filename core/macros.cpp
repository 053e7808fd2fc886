#include "core/macros.h"

#include <cstring>

#include "core/bounded_string.h"

namespace {

constexpr MacroEntry kMacros[kMacroCount] = {
    {"%SOURCEFOLDER%", 0, 0},
    {"%TARGETFOLDER%", 1, 0},
    {"%WINDOWSFOLDER%", 2, 0},
    {"%SYSTEMFOLDER%", 3, 0},
    {"%STARTMENUFOLDER%", 4, 0},
    {"%STARTUPFOLDER%", 5, 0},
    {"%DESKTOPFOLDER%", 6, 0},
    {"%PROGRAMSFOLDER%", 7, 0},
    {"%COMMONPROGRAMSFOLDER%", 8, 0},
    {"%TEMPFOLDER%", 9, 0},
    {"%APPDATAFOLDER%", 10, 0},
    {"%COMMONDOCUMENTS%", 11, 0},
    {"%Zx14%", -1, 95},
    {"%LINK_UI%", -1, 74},
    {"%LINK_README%", -1, 75},
    {"%LINK_UNINSTALL%", -1, 76},
    {"%LINK_MONITOR%", -1, 77},
    {"%LINKDESC_UI%", -1, 78},
    {"%LINKDESC_README%", -1, 79},
    {"%LINKDESC_UNINSTALL%", -1, 80},
    {"%LINKDESC_MONITOR%", -1, 81},
    {"%LINK_SMS%", -1, 87},
    {"%LINKDESC_SMS%", -1, 88},
    {"%LINK_UIHELP%", -1, 89},
    {"%LINKDESC_UIHELP%", -1, 90},
    {"%LINK_SMSHELP%", -1, 91},
    {"%LINKDESC_SMSHELP%", -1, 92},
};

const char* FolderValue(const MacroFolders& folders, int index) {
  const char* const values[] = {
      folders.sourceFolder,   folders.targetFolder,  folders.windowsFolder,
      folders.systemFolder,   folders.startMenuFolder, folders.startupFolder,
      folders.desktopFolder,  folders.programsFolder, folders.commonProgramsFolder,
      folders.tempFolder,     folders.appDataFolder,  folders.commonDocuments,
  };
  const char* value = values[index];
  return value ? value : "";
}

// Replaces the first exact occurrence; 0 only when it occurs and the result would not fit.
int ReplaceIfPresent(char* buffer, size_t capacity, const char* name, const char* value) {
  if (!std::strstr(buffer, name)) return 1;
  return ReplaceFirst(buffer, capacity, name, value);
}

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

const MacroEntry* MacroTable() { return kMacros; }

int ExpandMacros(char* buffer, size_t capacity, const MacroFolders& folders,
                 StringTextSource* strings) {
  if (!buffer || capacity == 0 || buffer[0] == '\0') return 1;
  if (!std::strchr(buffer, '%')) return 1;  // nothing to replace, no string loaded

  char original[4096];
  const bool restorable = CopyText(original, sizeof original, buffer) != 0;
  int fits = 1;
  for (const MacroEntry& macro : kMacros) {
    if (macro.folderIndex >= 0) {
      fits = ReplaceIfPresent(buffer, capacity, macro.name, FolderValue(folders, macro.folderIndex));
    } else if (strings && FindTextNoCase(buffer, macro.name)) {
      char text[kStringTextSize];
      text[0] = '\0';
      if (strings->LoadText(macro.stringId, text, sizeof text) <= 0) text[0] = '\0';
      text[kStringTextSize - 1] = '\0';  // at most 254 characters, whatever the source did
      fits = ReplaceIfPresent(buffer, capacity, macro.name, text);
    }
    if (!fits) break;
  }
  if (!fits && restorable) CopyText(buffer, capacity, original);
  return fits;
}

int CheckMacroNames(const char* text, MacroFaultSink* sink) {
  int faults = 0;
  bool seen[kMacroCount] = {};
  const char* p = text ? std::strchr(text, '%') : nullptr;
  while (p) {
    const char* end = p + 1;
    while (IsNameChar(*end)) ++end;
    if (*end != '%' || end == p + 1) {  // no word between two percent signs here
      p = std::strchr(p + 1, '%');
      continue;
    }
    char word[kStringTextSize];
    const size_t length = static_cast<size_t>(end - p + 1);
    const size_t kept = length < sizeof word ? length : sizeof word - 1;
    std::memcpy(word, p, kept);
    word[kept] = '\0';

    int fault = -1;
    bool known = false;
    for (size_t i = 0; i < kMacroCount; ++i) {
      if (std::strcmp(word, kMacros[i].name) == 0) {
        if (seen[i]) fault = static_cast<int>(MacroFault::kRepeated);
        seen[i] = true;
        known = true;
        break;
      }
      if (EqualsNoCase(word, kMacros[i].name)) {
        fault = static_cast<int>(MacroFault::kWrongCase);
        known = true;
        break;
      }
    }
    if (!known) fault = static_cast<int>(MacroFault::kUnknown);
    if (fault >= 0) {
      ++faults;
      if (sink) sink->OnMacroFault(static_cast<MacroFault>(fault), word);
    }
    p = std::strchr(end + 1, '%');
  }
  return faults;
}
