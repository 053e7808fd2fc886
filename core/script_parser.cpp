#include "core/script_parser.h"

#include <cstring>
#include <memory>

#include "core/bounded_string.h"
#include "core/script_line.h"

namespace {

class LineContext {
 public:
  LineContext(ScriptAction action, const char* line, uint32_t lineNumber,
              ScriptParseListener* listener)
      : action_(action), line_(line), lineNumber_(lineNumber), listener_(listener) {}

  void Note(ScriptNote note, int field = -1, const char* detail = "") const {
    if (listener_) listener_->OnNote(ScriptDiagnostic{lineNumber_, note, action_, field, line_, detail});
  }
  int Drop(const CutFault& fault) const {
    Note(fault.note, fault.field);
    return 0;
  }
  uint32_t lineNumber() const { return lineNumber_; }
  ScriptParseListener* listener() const { return listener_; }

 private:
  ScriptAction action_;
  const char* line_;
  uint32_t lineNumber_;
  ScriptParseListener* listener_;
};

template <typename Item>
std::unique_ptr<Item> NewItem(const SectionHeader& section, uint32_t lineNumber) {
  std::unique_ptr<Item> item(new Item());
  item->includeMask = section.includeMask;
  item->excludeMask = section.excludeMask;
  item->lineNumber = lineNumber;
  return item;
}

// A whole-line field (AddRegFile source, AddFolder folder): refused when beyond the path buffer.
int CopyWholeLine(const char* line, char* field, const LineContext& context) {
  if (!CopyText(field, kPathSize, line)) return context.Drop(CutFault{ScriptNote::kFieldTooLong, 0});
  return 1;
}

int ParseFileLine(const SectionHeader& section, const char* line, const LineContext& context,
                  InstallScript* script) {
  char work[kScriptLineSize];
  CopyText(work, sizeof work, line);
  uint32_t precache = 0, optional = 0;
  if (section.action == ScriptAction::kAddFile) {
    // The first occurrence of each flag is taken out, "<precache>" first.
    precache = ReplaceFirstNoCase(work, sizeof work, "<precache>", "") ? 1u : 0u;
    optional = ReplaceFirstNoCase(work, sizeof work, "<optional>", "") ? 1u : 0u;
  }
  auto item = NewItem<FileItem>(section, context.lineNumber());
  CutFault fault{};
  if (!CutSplit(work, FieldBuffer{item->source, kPathSize},
                FieldBuffer{item->destination, kPathSize}, &fault))
    return context.Drop(fault);
  item->precache = precache;
  item->optional = optional;
  OwnedList<FileItem>* list = section.action == ScriptAction::kAddFile      ? &script->fileItems
                              : section.action == ScriptAction::kUpdateFile ? &script->updateItems
                                                                            : &script->appendItems;
  FileItem* appended = list->Append(std::move(item));
  if (appended->precache && context.listener()) context.listener()->OnPrecache(*appended);
  return 1;
}

int ParseIniSectionLine(const SectionHeader& section, const char* line, const LineContext& context,
                        InstallScript* script) {
  auto item = NewItem<IniSectionItem>(section, context.lineNumber());
  const FieldBuffer fields[] = {{item->source, kPathSize}, {item->section, kNameSize},
                                {item->file, kPathSize}};
  CutFault fault{};
  int ignoredTail = 0;
  if (!CutScan(line, fields, 3, &fault, &ignoredTail)) return context.Drop(fault);
  if (ignoredTail) context.Note(ScriptNote::kTrailingTextIgnored, 2);
  script->iniSectionItems.Append(std::move(item));
  return 1;
}

int ParseRegValueLine(const SectionHeader& section, const char* line, const LineContext& context,
                      InstallScript* script) {
  auto item = NewItem<RegValueItem>(section, context.lineNumber());
  char root[kNameSize];
  char type[kNameSize];
  char data[kRegDataWrittenLength + 1];
  const FieldBuffer fields[] = {{root, sizeof root},
                                {item->key, kPathSize},
                                {item->name, kNameSize},
                                {type, sizeof type},
                                {data, sizeof data}};
  CutFault fault{};
  int ignoredTail = 0;
  if (!CutScan(line, fields, 5, &fault, &ignoredTail)) return context.Drop(fault);
  if (!EqualsNoCase(root, "HKLM")) {
    context.Note(ScriptNote::kUnknownRoot, 0);
    return 0;
  }
  if (EqualsNoCase(type, "REG_SZ")) {
    item->type = kRegSz;
    CopyText(item->data, kTextSize, data);
    item->dataSize = static_cast<uint32_t>(std::strlen(item->data));
  } else if (EqualsNoCase(type, "REG_DWORD")) {
    int clean = 0;
    item->type = kRegDword;
    item->data[0] = '\0';
    item->dwordValue = static_cast<uint32_t>(ReadDecimal(data, &clean));
    item->dataSize = 4;
    if (!clean) context.Note(ScriptNote::kNotANumber, 4);
  } else {
    context.Note(ScriptNote::kUnknownType, 3);
    return 0;
  }
  if (ignoredTail) context.Note(ScriptNote::kTrailingTextIgnored, 4);
  item->root = RegistryRoot::kLocalMachine;
  script->regValueItems.Append(std::move(item));
  return 1;
}

int ParseShellLinkLine(const SectionHeader& section, const char* line, const LineContext& context,
                       InstallScript* script) {
  auto item = NewItem<ShellLinkItem>(section, context.lineNumber());
  char iconIndex[kScriptLineSize];
  const FieldBuffer fields[5] = {{item->link, kPathSize},
                                 {item->target, kPathSize},
                                 {item->description, kTextSize},
                                 {item->iconFile, kPathSize},
                                 {iconIndex, sizeof iconIndex}};
  CutFault fault{};
  if (!CutCommas(line, fields, &fault)) return context.Drop(fault);
  if (std::strlen(item->description) > kDescriptionLength) {
    item->description[kDescriptionLength] = '\0';
    context.Note(ScriptNote::kDescriptionCut, 2);
  }
  int clean = 0;
  item->iconIndex = ReadDecimal(iconIndex, &clean);
  if (!clean && iconIndex[0] != '\0') context.Note(ScriptNote::kNotANumber, 4);
  script->shellLinkItems.Append(std::move(item));
  return 1;
}

int ParseTextLineLine(const SectionHeader& section, const char* line, const LineContext& context,
                      InstallScript* script) {
  auto item = NewItem<TextLineItem>(section, context.lineNumber());
  const FieldBuffer fields[] = {{item->file, kPathSize}, {item->pattern, kNameSize}};
  CutFault fault{};
  int ignoredTail = 0;
  if (!CutScan(line, fields, 2, &fault, &ignoredTail)) return context.Drop(fault);
  if (ignoredTail) context.Note(ScriptNote::kTrailingTextIgnored, 1);
  item->enable = section.action == ScriptAction::kEnableTextLine ? 1u : 0u;
  script->textLineItems.Append(std::move(item));
  return 1;
}

// Forwards the notes about a header line to the script listener.
class HeaderNotes : public HeaderNoteSink {
 public:
  explicit HeaderNotes(const LineContext& context) : context_(context) {}
  void OnHeaderNote(ScriptNote note, const char* detail) override {
    context_.Note(note, -1, note == ScriptNote::kUnknownTag ? detail : "");
  }

 private:
  const LineContext& context_;
};

}  // namespace

int ParseDataLine(const SectionHeader& section, const char* line, uint32_t lineNumber,
                  InstallScript* script, ScriptParseListener* listener) {
  const LineContext context(section.action, line, lineNumber, listener);
  switch (section.action) {
    case ScriptAction::kAddFile:
    case ScriptAction::kUpdateFile:
    case ScriptAction::kAppendFile:
      return ParseFileLine(section, line, context, script);
    case ScriptAction::kReplaceIniSection:
      return ParseIniSectionLine(section, line, context, script);
    case ScriptAction::kAddRegFile: {
      auto item = NewItem<RegFileItem>(section, lineNumber);
      if (!CopyWholeLine(line, item->source, context)) return 0;
      script->regFileItems.Append(std::move(item));
      return 1;
    }
    case ScriptAction::kAddRegValue:
      return ParseRegValueLine(section, line, context, script);
    case ScriptAction::kAddShellLink:
      return ParseShellLinkLine(section, line, context, script);
    case ScriptAction::kAddFolder: {
      auto item = NewItem<FolderItem>(section, lineNumber);
      if (!CopyWholeLine(line, item->folder, context)) return 0;
      script->folderItems.Append(std::move(item));
      return 1;
    }
    case ScriptAction::kEnableTextLine:
    case ScriptAction::kDisableTextLine:
      return ParseTextLineLine(section, line, context, script);
    case ScriptAction::kNone:
      break;
  }
  return 0;
}

int ParseScriptText(const char* text, size_t size, const OsVersion& os, InstallScript* script,
                    ScriptParseListener* listener) {
  if (!script || (!text && size != 0)) return 0;
  script->Clear();

  SectionHeader section{ScriptAction::kNone, 0, 0, 0, 0};
  bool active = false;
  char line[kScriptLineSize];
  size_t pos = 0;
  uint32_t lineNumber = 0;
  int wasCut = 0;
  while (ReadScriptLine(text, size, &pos, line, sizeof line, &wasCut)) {
    ++lineNumber;
    if (wasCut) LineContext(section.action, line, lineNumber, listener).Note(ScriptNote::kLineCut);
    if (line[0] == '\0' || line[0] == ';') continue;

    if (line[0] == '[') {
      SectionHeader header{};
      const LineContext context(MatchActionKeyword(line), line, lineNumber, listener);
      HeaderNotes notes(context);
      if (ParseSectionHeader(line, &header, &notes)) {
        section = header;
        active = SectionIsActive(section, os);
        if (!active) context.Note(ScriptNote::kInactiveSection);
        continue;
      }
      LineContext(section.action, line, lineNumber, listener).Note(ScriptNote::kUnknownKeyword);
    }

    if (section.action == ScriptAction::kNone) {
      LineContext(section.action, line, lineNumber, listener).Note(ScriptNote::kBeforeFirstSection);
    } else if (!active) {
      LineContext(section.action, line, lineNumber, listener).Note(ScriptNote::kInactiveLine);
    } else if (ParseDataLine(section, line, lineNumber, script, listener) && listener) {
      listener->OnItem(*script);
    }
  }
  return 1;
}
