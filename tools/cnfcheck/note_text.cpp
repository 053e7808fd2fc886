#include "tools/cnfcheck/note_text.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <vector>

#include "core/script_header.h"
#include "core/script_model.h"

namespace {

struct ActionFields {
  ScriptAction action;
  const char* names[5];
  size_t limits[5];  // characters a field holds
};

constexpr size_t kPath = kPathSize - 1;
constexpr size_t kName = kNameSize - 1;

constexpr ActionFields kFields[] = {
    {ScriptAction::kAddFile, {"source", "destination"}, {kPath, kPath}},
    {ScriptAction::kUpdateFile, {"source", "destination"}, {kPath, kPath}},
    {ScriptAction::kAppendFile, {"source", "destination"}, {kPath, kPath}},
    {ScriptAction::kReplaceIniSection, {"source", "section", "file"}, {kPath, kName, kPath}},
    {ScriptAction::kAddRegFile, {"source"}, {kPath}},
    {ScriptAction::kAddRegValue, {"root", "key", "name", "type", "data"},
     {kName, kPath, kName, kName, kRegDataWrittenLength}},
    {ScriptAction::kAddShellLink, {"link", "target", "description", "iconFile", "iconIndex"},
     {kPath, kPath, kTextSize - 1, kPath, kTextSize - 1}},
    {ScriptAction::kAddFolder, {"folder"}, {kPath}},
    {ScriptAction::kEnableTextLine, {"file", "pattern"}, {kPath, kName}},
    {ScriptAction::kDisableTextLine, {"file", "pattern"}, {kPath, kName}},
};

const ActionFields* FieldsOf(ScriptAction action) {
  for (const ActionFields& entry : kFields)
    if (entry.action == action) return &entry;
  return nullptr;
}

size_t FieldLimit(ScriptAction action, int field) {
  const ActionFields* entry = FieldsOf(action);
  return entry && field >= 0 && field < 5 ? entry->limits[field] : 0;
}

std::string Field(const ScriptDiagnostic& note) {
  const char* name = ActionFieldName(note.action, note.field);
  return *name ? std::string("field \"") + name + "\"" : std::string("a field");
}

size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                        std::tolower(static_cast<unsigned char>(b[j - 1]));
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// The tag a misspelt one most likely meant: the nearest name within two edits, or "".
std::string NearestTag(const std::string& written) {
  const bool negated = !written.empty() && written[0] == '!';
  const std::string name = negated ? written.substr(1) : written;
  std::string best;
  size_t bestDistance = 3;
  auto consider = [&](const char* tag) {
    const size_t distance = EditDistance(name, tag);
    if (distance < bestDistance && distance < name.size()) {
      bestDistance = distance;
      best = tag;
    }
  };
  for (ComponentSet bit = 1; bit <= kAllComponents; bit <<= 1) consider(ComponentTagName(bit));
  for (OsTagSet bit = 1; bit <= kOsTagWin98SE; bit <<= 1) consider(OsTagName(bit));
  return best.empty() ? best : (negated ? "!" : "") + best;
}

}  // namespace

const char* ActionFieldName(ScriptAction action, int field) {
  const ActionFields* entry = FieldsOf(action);
  if (!entry || field < 0 || field >= 5 || !entry->names[field]) return "";
  return entry->names[field];
}

std::string DescribeScriptNote(const ScriptDiagnostic& note) {
  const std::string section = std::string("[") + ActionKeyword(note.action) + "]";
  switch (note.note) {
    case ScriptNote::kNone:
    case ScriptNote::kInactiveSection:
    case ScriptNote::kInactiveLine:
      break;
    case ScriptNote::kLineCut:
      return "line longer than 4095 characters: the setup reads only its first 4095";
    case ScriptNote::kBeforeFirstSection:
      return "line ahead of the first section header: ignored";
    case ScriptNote::kUnknownKeyword:
      return note.action == ScriptAction::kNone
                 ? "bracketed line without a known keyword: it opens no section"
                 : "bracketed line without a known keyword: it opens no section and is read as a line of " + section;
    case ScriptNote::kKeywordRunsOn:
      return "the keyword runs on into more letters: the header is read as " + section;
    case ScriptNote::kHeaderNotClosed:
      return "header without \"]\": a tag at its end is not found";
    case ScriptNote::kUnknownTag: {
      const std::string nearest = NearestTag(note.detail);
      return std::string("\"") + note.detail + "\" is no tag: it selects nothing" +
             (nearest.empty() ? "" : " (meant \"" + nearest + "\"?)");
    }
    case ScriptNote::kMissingField:
      return "too few fields for " + section + ": line dropped";
    case ScriptNote::kEmptyField:
      return Field(note) + " is empty: line dropped";
    case ScriptNote::kApostrophe:
      return "an apostrophe ends " + Field(note) + ": line dropped";
    case ScriptNote::kFieldTooLong:
      return Field(note) + " is longer than its " + std::to_string(FieldLimit(note.action, note.field)) +
             " characters: line dropped";
    case ScriptNote::kTrailingTextIgnored:
      return "text behind the blank in " + Field(note) + " is ignored";
    case ScriptNote::kDescriptionCut:
      return "the description is longer than 511 characters: cut there";
    case ScriptNote::kUnknownRoot:
      return "the root is not HKLM: line dropped";
    case ScriptNote::kUnknownType:
      return "the type is neither REG_SZ nor REG_DWORD: line dropped";
    case ScriptNote::kNotANumber:
      return Field(note) + " is not a decimal number: only its leading digits count (none give 0)";
  }
  return ScriptNoteName(note.note);
}
