// Section headers of an install script: the action keyword, the component and OS tags, and
// the OS rule that decides at load time whether a section is read.
//
// Grammar (compared without regard to letter case):
//   header   = "[" keyword *any                  ; the keyword is a prefix: anything may follow
//   keyword  = "AddFile" / "UpdateFile" / "AppendFile" / "ReplaceIniSection" / "AddRegFile"
//            / "AddRegValue" / "AddShellLink" / "AddFolder" / "EnableTextLine"
//            / "DisableTextLine"                 ; tried in this order, the first match wins
//   tags     : the header with its first "]" replaced by "." is searched for ".NAME." and
//              ".!NAME." anywhere, so the order of tags is free and a tag that only begins
//              with a known name ("UIX") is no tag
//   NAME     = "UI" / "Admin" / "Driver" / "Help" / "SMS" / "SC"             ; components
//            / "WinNT" / "Win9x" / "Win2000" / "WinXP" / "WinME" / "Win98SE" ; OS families
//
// A bracketed line whose start is none of the keywords opens no section.
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/component_set.h"
#include "core/os_family.h"
#include "core/script_notes.h"

enum class ScriptAction : uint32_t {
  kNone = 0,
  kAddFile,
  kUpdateFile,
  kAppendFile,
  kReplaceIniSection,
  kAddRegFile,
  kAddRegValue,
  kAddShellLink,
  kAddFolder,
  kEnableTextLine,
  kDisableTextLine,
};

// The action's keyword without bracket ("AddFile"), as records write it; "" for kNone.
const char* ActionKeyword(ScriptAction action);

// The action whose "[" + keyword starts the line (without regard to case), or kNone.
ScriptAction MatchActionKeyword(const char* line);

// OS-family tags as bits, one per tag.
using OsTagSet = uint32_t;
constexpr OsTagSet kOsTagWinNT = 0x01;
constexpr OsTagSet kOsTagWin9x = 0x02;
constexpr OsTagSet kOsTagWin2000 = 0x04;
constexpr OsTagSet kOsTagWinXP = 0x08;
constexpr OsTagSet kOsTagWinME = 0x10;
constexpr OsTagSet kOsTagWin98SE = 0x20;

// Whether the running system is of the family an OS tag names (one bit).
bool OsTagHolds(OsTagSet tag, const OsVersion& os);

struct SectionHeader {
  ScriptAction action;
  ComponentSet includeMask;  // positive component tags
  ComponentSet excludeMask;  // negated component tags
  OsTagSet osInclude;        // positive OS tags
  OsTagSet osExclude;        // negated OS tags
};

// Receives the notes about a header: kKeywordRunsOn, kHeaderNotClosed, and kUnknownTag with
// the text between the two dots.
class HeaderNoteSink {
 public:
  virtual ~HeaderNoteSink() = default;
  virtual void OnHeaderNote(ScriptNote note, const char* detail) = 0;
};

// Reads a header line (at most 4095 characters; a longer one is read as cut). Returns 1 and
// fills header when the line opens a section, 0 when it is no header with a known keyword.
int ParseSectionHeader(const char* line, SectionHeader* header, HeaderNoteSink* notes);

// The OS rule: at least one positive OS tag holds (or there is none) and no negated one holds.
bool SectionIsActive(const SectionHeader& header, const OsVersion& os);

// The tag name of one component bit or OS tag bit ("UI", "WinNT"); nullptr for other values.
const char* ComponentTagName(ComponentSet bit);
const char* OsTagName(OsTagSet bit);
