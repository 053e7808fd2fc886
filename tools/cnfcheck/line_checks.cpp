#include "tools/cnfcheck/line_checks.h"

#include <cstring>
#include <string>

#include "core/bounded_string.h"
#include "core/macros.h"

namespace {

// Entry names carry the model name through "%Zx14%"; it is the only string-table text that
// belongs in a file name, so it is the only one the checker needs to know.
constexpr uint32_t kModelNameString = 95;
constexpr char kModelName[] = "Z614";

class ModelNameText : public StringTextSource {
 public:
  int LoadText(uint32_t id, char* buffer, size_t capacity) override {
    if (id != kModelNameString) return 0;
    return CopyText(buffer, capacity, kModelName) ? static_cast<int>(std::strlen(buffer)) : 0;
  }
};

class LineChecker {
 public:
  LineChecker(uint32_t line, const PayloadIndex* payload, WarningList* warnings)
      : line_(line), payload_(payload), warnings_(warnings) {}

  void Warn(const char* code, const std::string& message) const {
    warnings_->push_back(CheckWarning{line_, code, message});
  }

  // A field whose macros the setup replaces: every %NAME% must be a macro, written exactly,
  // at most once (only the first occurrence is replaced).
  void MacroField(const char* field, const std::string& text) const {
    class Sink : public MacroFaultSink {
     public:
      Sink(const LineChecker& checker, const char* field) : checker_(checker), field_(field) {}
      void OnMacroFault(MacroFault fault, const char* name) override {
        const std::string where = std::string(" in ") + field_;
        switch (fault) {
          case MacroFault::kUnknown:
            return checker_.Warn("unknown-macro", std::string("unknown macro ") + name + where +
                                                      ": it stays in the text as written");
          case MacroFault::kWrongCase:
            return checker_.Warn("macro-case", std::string("macro ") + name + where +
                                                   " is not in the letter case of its name: it stays in the text");
          case MacroFault::kRepeated:
            return checker_.Warn("macro-repeated", std::string("macro ") + name + " stands twice" + where +
                                                       ": only its first occurrence is replaced");
        }
      }

     private:
      const LineChecker& checker_;
      const char* field_;
    } sink(*this, field);
    CheckMacroNames(text.c_str(), &sink);
  }

  // A field the setup takes as written: a macro in it is never replaced.
  void PlainField(const char* field, const char* text) const {
    const MacroEntry* table = MacroTable();
    for (size_t i = 0; i < kMacroCount; ++i) {
      if (FindTextNoCase(text, table[i].name)) {
        Warn("macro-not-expanded", std::string(field) + " holds " + table[i].name +
                                       ", but macros are not replaced in this field");
        return;
      }
    }
  }

  // An archive reference split at its first colon: a one-letter archive path is a drive.
  void DriveColon(const char* field, const std::string& archivePath) const {
    if (archivePath.size() == 1)
      Warn("drive-colon", std::string(field) + " is split at the colon behind \"" + archivePath +
                              "\": that drive letter is read as the path of an archive");
  }

  // An entry of the running executable's archive. expand: whether the setup replaces macros
  // in it before the lookup.
  void Entry(const std::string& written, bool expand, bool optional) const {
    if (written.empty()) return;  // the whole archive file: the setup executable itself
    if (written.find_first_of("\\/") != std::string::npos || (expand && HoldsFolderMacro(written))) {
      if (!optional)
        Warn("entry-is-path", "entry name \"" + written +
                                  "\" holds a folder, but archive entries are plain file names: it is not found");
      return;
    }
    char name[kPathSize];
    CopyText(name, sizeof name, written.c_str());
    if (expand) {
      const MacroFolders noFolders{};
      ModelNameText strings;
      ExpandMacros(name, sizeof name, noFolders, &strings);
    }
    if (std::strpbrk(name, "*?")) {
      Warn("entry-wildcard", std::string("entry name \"") + name + "\" holds a wildcard: no single entry is extracted");
      return;
    }
    if (!payload_) return;
    const PayloadEntry* entry = payload_->Find(name);
    const std::string outcome = optional ? ": the optional line installs nothing"
                                         : ": the line installs nothing";
    if (!entry) {
      Warn("missing-entry", std::string("the payload holds no entry \"") + name + "\"" + outcome);
    } else if (entry->size == 0) {
      Warn("empty-entry", std::string("entry \"") + name + "\" is empty, and an empty entry cannot be extracted" + outcome);
    }
  }

  // A path the setup uses as the place to write or edit: without a folder macro or a drive in
  // front it is taken relative to whatever folder the setup runs in. A path that begins with
  // some other %NAME% has had that word named by the macro checks already.
  void AnchoredPath(const char* field, const char* text) const {
    if (!text[0] || text[0] == '%') return;
    const bool drive = ((text[0] | 0x20) >= 'a' && (text[0] | 0x20) <= 'z') && text[1] == ':';
    if (drive || text[0] == '\\') return;
    Warn("relative-path", std::string(field) + " \"" + text +
                              "\" names no folder: it is taken relative to the folder the setup runs in");
  }

  static bool HoldsFolderMacro(const std::string& text) {
    const MacroEntry* table = MacroTable();
    for (size_t i = 0; i < kMacroCount; ++i)
      if (table[i].folderIndex >= 0 && text.find(table[i].name) != std::string::npos) return true;
    return false;
  }

  static bool StartsWithFolderMacro(const char* text) {
    const MacroEntry* table = MacroTable();
    for (size_t i = 0; i < kMacroCount; ++i)
      if (table[i].folderIndex >= 0 && std::strncmp(text, table[i].name, std::strlen(table[i].name)) == 0) return true;
    return false;
  }

 private:
  uint32_t line_;
  const PayloadIndex* payload_;
  WarningList* warnings_;
};

// Splits at the first colon; returns false when there is none.
bool SplitAtColon(const char* source, std::string* archivePath, std::string* entry) {
  const char* colon = std::strchr(source, ':');
  if (!colon) return false;
  archivePath->assign(source, static_cast<size_t>(colon - source));
  entry->assign(colon + 1);
  return true;
}

// AddFile splits the source as written and expands the archive path and the entry name each
// on its own; a source without colon is a plain file path.
void CheckAddFile(const FileItem& item, const LineChecker& check) {
  std::string archivePath, entry;
  if (item.source[0] == '\0') {
    // The record form of an uninstall script: the destination alone names the file.
  } else if (SplitAtColon(item.source, &archivePath, &entry)) {
    check.MacroField("the source's archive path", archivePath);
    check.MacroField("the source's entry name", entry);
    check.DriveColon("the source", archivePath);
    if (archivePath.empty()) check.Entry(entry, true, item.optional != 0);
  } else if (item.precache && !LineChecker::StartsWithFolderMacro(item.source)) {
    // Precaching reads a source without colon as an archive entry (or the file of that name
    // beside the setup), and the run writes those bytes.
    check.MacroField("source", item.source);
    check.Entry(item.source, true, item.optional != 0);
  } else {
    check.MacroField("source", item.source);
    if (!LineChecker::StartsWithFolderMacro(item.source))
      check.Warn("no-colon", std::string("source \"") + item.source +
                                 "\" has no colon: it is copied as a plain file path, not taken from the archive");
  }
  check.MacroField("destination", item.destination);
  check.AnchoredPath("destination", item.destination);
  if (item.destination[0] == '\0' && !item.precache)
    check.Warn("empty-destination", "the destination is empty: the file cannot be written anywhere");
}

// UpdateFile and AppendFile expand the whole source first and split the result at its first
// colon, so a folder macro in front of that colon brings in its drive's colon.
void CheckUpdateOrAppend(const FileItem& item, const LineChecker& check) {
  check.MacroField("source", item.source);
  check.MacroField("destination", item.destination);
  check.AnchoredPath("destination", item.destination);
  std::string archivePath, entry;
  const bool colon = SplitAtColon(item.source, &archivePath, &entry);
  if (LineChecker::HoldsFolderMacro(colon ? archivePath : std::string(item.source))) {
    check.Warn("folder-macro-in-source",
               "the source is split after its macros are replaced, so the drive colon of the folder "
               "put in front of its colon splits it instead");
    return;
  }
  if (!colon) return check.Entry(item.source, true, false);
  check.DriveColon("the source", archivePath);
  if (archivePath.empty()) check.Entry(entry, true, false);
}

// ReplaceIniSection and AddRegFile name their source without macros; without a colon it is an
// entry of the running executable.
void CheckPlainSource(const char* source, const LineChecker& check) {
  check.PlainField("source", source);
  std::string archivePath, entry;
  if (!SplitAtColon(source, &archivePath, &entry)) return check.Entry(source, false, false);
  check.DriveColon("the source", archivePath);
  if (archivePath.empty()) check.Entry(entry, false, false);
}

template <typename Item, typename Check>
void ForEach(const OwnedList<Item>& list, const PayloadIndex* payload, WarningList* warnings, Check check) {
  for (size_t i = 0; i < list.Count(); ++i) {
    const Item& item = *list.At(i);
    check(item, LineChecker(item.lineNumber, payload, warnings));
  }
}

}  // namespace

void CheckItemFields(const InstallScript& script, const PayloadIndex* payload, WarningList* warnings) {
  ForEach(script.iniSectionItems, payload, warnings, [](const IniSectionItem& item, const LineChecker& check) {
    CheckPlainSource(item.source, check);
    check.PlainField("section", item.section);
    check.MacroField("file", item.file);
    check.AnchoredPath("file", item.file);
  });
  ForEach(script.regFileItems, payload, warnings, [](const RegFileItem& item, const LineChecker& check) {
    CheckPlainSource(item.source, check);
  });
  ForEach(script.regValueItems, payload, warnings, [](const RegValueItem& item, const LineChecker& check) {
    check.MacroField("key", item.key);
    check.MacroField("name", item.name);
    check.MacroField("data", item.data);
  });
  ForEach(script.updateItems, payload, warnings, CheckUpdateOrAppend);
  ForEach(script.appendItems, payload, warnings, CheckUpdateOrAppend);
  ForEach(script.fileItems, payload, warnings, CheckAddFile);
  ForEach(script.shellLinkItems, payload, warnings, [](const ShellLinkItem& item, const LineChecker& check) {
    check.MacroField("link", item.link);
    check.AnchoredPath("link", item.link);
    check.MacroField("target", item.target);
    check.MacroField("description", item.description);
    check.MacroField("iconFile", item.iconFile);
  });
  ForEach(script.textLineItems, payload, warnings, [](const TextLineItem& item, const LineChecker& check) {
    check.MacroField("file", item.file);
    check.AnchoredPath("file", item.file);
    check.PlainField("pattern", item.pattern);
    // Each line is matched with its line feed, so only a pattern ending in "*" matches a line
    // that has one: without it only a last line without line feed can match.
    const size_t length = std::strlen(item.pattern);
    if (length > 0 && item.pattern[length - 1] != '*')
      check.Warn("pattern-without-star", std::string("pattern \"") + item.pattern +
                                             "\" does not end in \"*\": it matches no line that ends with a line feed");
  });
  ForEach(script.folderItems, payload, warnings, [](const FolderItem& item, const LineChecker& check) {
    check.PlainField("folder", item.folder);
  });
}
