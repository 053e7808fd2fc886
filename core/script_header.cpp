#include "core/script_header.h"

#include <cstring>

#include "core/bounded_string.h"
#include "core/script_line.h"

namespace {

struct KeywordEntry {
  const char* compared;  // "[" and the keyword, as the start of the line is compared
  ScriptAction action;
};

// The order in which a line's start is compared; the first match wins.
constexpr KeywordEntry kKeywords[] = {
    {"[AddFile", ScriptAction::kAddFile},
    {"[UpdateFile", ScriptAction::kUpdateFile},
    {"[AppendFile", ScriptAction::kAppendFile},
    {"[ReplaceIniSection", ScriptAction::kReplaceIniSection},
    {"[AddRegFile", ScriptAction::kAddRegFile},
    {"[AddRegValue", ScriptAction::kAddRegValue},
    {"[AddShellLink", ScriptAction::kAddShellLink},
    {"[AddFolder", ScriptAction::kAddFolder},
    {"[EnableTextLine", ScriptAction::kEnableTextLine},
    {"[DisableTextLine", ScriptAction::kDisableTextLine},
};

struct ComponentTag {
  const char* name;
  ComponentSet bit;
};
constexpr ComponentTag kComponentTags[] = {
    {"UI", kComponentUI},         {"Admin", kComponentAdmin}, {"Driver", kComponentDriver},
    {"Help", kComponentHelp},     {"SMS", kComponentSMS},     {"SC", kComponentSC},
};

struct OsTag {
  const char* name;
  OsTagSet bit;
  bool (*holds)(const OsVersion&);
};
constexpr OsTag kOsTags[] = {
    {"WinNT", kOsTagWinNT, IsWinNT},     {"Win9x", kOsTagWin9x, IsWin9x},
    {"Win2000", kOsTagWin2000, IsWin2000}, {"WinXP", kOsTagWinXP, IsWinXP},
    {"WinME", kOsTagWinME, IsWinME},     {"Win98SE", kOsTagWin98SE, IsWin98SE},
};

bool StartsWithNoCase(const char* text, const char* prefix) {
  for (; *prefix; ++text, ++prefix) {
    char a = *text, b = *prefix;
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}

// Reads every text between two consecutive dots as a tag: "NAME" or "!NAME". A tag ".NAME."
// anywhere in the text is exactly such a text, so one walk over the dots finds all tags; a
// text that names no tag goes to `notes` (when given).
void ReadTags(const char* text, SectionHeader* header, HeaderNoteSink* notes) {
  const char* dot = std::strchr(text, '.');
  while (dot) {
    const char* next = std::strchr(dot + 1, '.');
    if (!next) break;
    char token[kScriptLineSize];
    const size_t length = static_cast<size_t>(next - dot - 1);
    std::memcpy(token, dot + 1, length);
    token[length] = '\0';
    const bool negated = token[0] == '!';
    const char* name = token + (negated ? 1 : 0);
    bool known = false;
    for (const ComponentTag& tag : kComponentTags) {
      if (!EqualsNoCase(name, tag.name)) continue;
      (negated ? header->excludeMask : header->includeMask) |= tag.bit;
      known = true;
    }
    for (const OsTag& tag : kOsTags) {
      if (!EqualsNoCase(name, tag.name)) continue;
      (negated ? header->osExclude : header->osInclude) |= tag.bit;
      known = true;
    }
    if (!known && notes) notes->OnHeaderNote(ScriptNote::kUnknownTag, token);
    dot = next;
  }
}

}  // namespace

const char* ActionKeyword(ScriptAction action) {
  for (const KeywordEntry& entry : kKeywords)
    if (entry.action == action) return entry.compared + 1;
  return "";
}

ScriptAction MatchActionKeyword(const char* line) {
  for (const KeywordEntry& entry : kKeywords)
    if (StartsWithNoCase(line, entry.compared)) return entry.action;
  return ScriptAction::kNone;
}

bool OsTagHolds(OsTagSet tag, const OsVersion& os) {
  for (const OsTag& entry : kOsTags)
    if (entry.bit == tag) return entry.holds(os);
  return false;
}

int ParseSectionHeader(const char* line, SectionHeader* header, HeaderNoteSink* notes) {
  const ScriptAction action = MatchActionKeyword(line);
  if (action == ScriptAction::kNone) return 0;
  *header = SectionHeader{action, 0, 0, 0, 0};

  // The tags are searched in the line with its first "]" turned into a dot, so the last tag
  // before the bracket is enclosed by dots like every other.
  char text[kScriptLineSize];
  CopyText(text, sizeof text, line);
  char* bracket = std::strchr(text, ']');
  if (bracket) *bracket = '.';

  if (notes) {
    const char next = line[std::strlen(ActionKeyword(action)) + 1];
    if (next != '.' && next != ']' && next != '\0') notes->OnHeaderNote(ScriptNote::kKeywordRunsOn, "");
    if (!bracket) notes->OnHeaderNote(ScriptNote::kHeaderNotClosed, "");
  }
  ReadTags(text, header, notes);
  return 1;
}

bool SectionIsActive(const SectionHeader& header, const OsVersion& os) {
  bool positiveHolds = header.osInclude == 0;
  for (const OsTag& tag : kOsTags) {
    if ((header.osInclude & tag.bit) && tag.holds(os)) positiveHolds = true;
    if ((header.osExclude & tag.bit) && tag.holds(os)) return false;
  }
  return positiveHolds;
}

const char* ComponentTagName(ComponentSet bit) {
  for (const ComponentTag& tag : kComponentTags)
    if (tag.bit == bit) return tag.name;
  return nullptr;
}

const char* OsTagName(OsTagSet bit) {
  for (const OsTag& tag : kOsTags)
    if (tag.bit == bit) return tag.name;
  return nullptr;
}
