// Loading the text of an install script (or of an uninstall script, which has the same form)
// into the nine item lists, with the sections selected for the running system.
//
// Grammar, on top of the lines of script_line.h and the headers of script_header.h:
//   line      = comment / empty / header / data
//   comment   = ";" *any        ; only in the first column: " ;x" is a data line
//   header    = "[" keyword ... ; a "[" line without a known keyword is a data line
//   data      = the grammar of the section's action; lines ahead of the first header are ignored
//     AddFile              split-line  source "," destination, after the first "<precache>"
//                                      and the first "<optional>" (any case) are taken out
//     UpdateFile,
//     AppendFile           split-line  source "," destination
//     ReplaceIniSection    scan-line   source "," section(255) "," file
//     AddRegFile           whole line  source
//     AddRegValue          scan-line   "HKLM" "," key "," name(255) "," type(255) "," data(255)
//                                      type = "REG_SZ" / "REG_DWORD"; REG_DWORD data is decimal
//     AddShellLink         commas-line link "," target "," description "," iconFile "," iconIndex
//                                      description cut to 511 characters; iconIndex decimal
//     AddFolder            whole line  folder
//     EnableTextLine,
//     DisableTextLine      scan-line   file "," pattern(255)
// Path fields hold at most 259 characters. Root, type and the flags compare without case.
//
// Limits: a line beyond 4095 characters is cut there (as the line buffer has always done) and
// then read; a field beyond its buffer drops the line, except the shortcut description, which
// is cut to 511 characters. Every such case is reported to the listener.
//
// Precaching is not done here: reading a file needs the archive and the file system. The
// parser marks the item (`precache` = 1) and calls the listener's OnPrecache right after the
// item has been appended, at the moment the setup reads the bytes; a loader may also leave
// OnPrecache empty and walk `fileItems` afterwards.
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/os_family.h"
#include "core/script_header.h"
#include "core/script_model.h"
#include "core/script_notes.h"

struct ScriptDiagnostic {
  uint32_t lineNumber;  // 1-based
  ScriptNote note;
  ScriptAction action;  // the section's action, kNone ahead of the first header
  int field;            // 0-based field the note concerns, -1 for the whole line
  const char* line;     // the line as read (valid during the call only)
  const char* detail;   // the tag text of kUnknownTag, else ""
};

class ScriptParseListener {
 public:
  virtual ~ScriptParseListener() = default;
  // Every line the load drops, cuts or reads differently from how it looks.
  virtual void OnNote(const ScriptDiagnostic& note) { (void)note; }
  // An AddFile item marked "<precache>", just appended to `fileItems`. The loader fills
  // precacheData and precacheSize when it can; a failure leaves them empty and is not reported.
  virtual void OnPrecache(FileItem& item) { (void)item; }
  // A data line of an active section has just yielded an item, the last of its list. A tool
  // that looks at items one at a time may empty `script` here, so that a long script is never
  // held whole in memory; the setup keeps its items.
  virtual void OnItem(InstallScript& script) { (void)script; }
};

// Empties the nine lists and reads the text (size bytes, any bytes) into them, keeping the
// sections whose OS tags fit os. listener may be null. Returns 1 (non-zero) on success; the
// only failure is a null script or a null text with a non-zero size.
int ParseScriptText(const char* text, size_t size, const OsVersion& os, InstallScript* script,
                    ScriptParseListener* listener);

// Reads one data line of a section with the given header and appends its item to script.
// Returns 1 when the line yielded an item, 0 when it was dropped (the reason goes to the
// listener). A checker uses this to look at the lines of sections that are not active.
int ParseDataLine(const SectionHeader& section, const char* line, uint32_t lineNumber,
                  InstallScript* script, ScriptParseListener* listener);
