// The actions of an install script run, one handler per kind of item. RunScript calls each
// handler for every item of its list, in script order; the handler sends the item's start
// progress (before or after the component test, as each action does it) and RunScript ends
// the item. Handlers report nothing: failures leave the item undone, and only AddFile and
// UpdateFile tell the user of a file missing from the package.
#pragma once
#include "core/component_set.h"
#include "core/script_model.h"

class RunProgress;
class SetupContext;

// ReplaceIniSection: the payload's version of one section replaces it in an INI file on the
// machine, at the file's end. `file` is expanded in place.
void RunReplaceIniSectionItem(SetupContext& context, IniSectionItem& item, ComponentSet selection,
                              RunProgress& progress);

// AddRegFile: a registry text of the payload applied through the temp folder.
void RunAddRegFileItem(SetupContext& context, const RegFileItem& item, ComponentSet selection,
                       RunProgress& progress);

// AddRegValue: one REG_SZ or REG_DWORD value under HKEY_LOCAL_MACHINE. `key`, `name` and `data`
// are expanded in place.
void RunAddRegValueItem(SetupContext& context, RegValueItem& item, ComponentSet selection,
                        RunProgress& progress);

// UpdateFile: an entry extracted over the destination; nothing is recorded.
void RunUpdateFileItem(SetupContext& context, const FileItem& item, ComponentSet selection,
                       RunProgress& progress);

// AppendFile: an entry's bytes appended to the destination; nothing is recorded.
void RunAppendFileItem(SetupContext& context, const FileItem& item, ComponentSet selection,
                       RunProgress& progress);

// AddFile: a file installed from the archive, from its precached bytes or from a plain path,
// recorded in Remove.cnf with its companions, its checksum written under Diagnostics.
void RunAddFileItem(SetupContext& context, const FileItem& item, ComponentSet selection,
                    RunProgress& progress);

// AddShellLink: a shortcut to a target that exists, recorded before it is made. The four text
// fields are expanded in place.
void RunAddShellLinkItem(SetupContext& context, ShellLinkItem& item, ComponentSet selection,
                         RunProgress& progress);

// EnableTextLine and DisableTextLine: matching lines of a text file switched on or off.
void RunTextLineItem(SetupContext& context, const TextLineItem& item, ComponentSet selection,
                     RunProgress& progress);

// Rewrites file through a temporary file (prefix "textfile" in the temp folder): every piece
// of at most 254 characters (a line with its line feed, or part of a longer line) that matches
// pattern as a file name does (PathMatchSpecA) loses one leading ";" when enable is set, and
// gains one when it is not. Returns 1 when the file was replaced by the edited copy. An empty
// file or pattern, or a file that cannot be opened, fails and leaves it as it was.
int SetTextLines(const SetupContext& context, const char* file, const char* pattern, int enable);

// Comments out the CopyFiles directives of an installed INF file (lines whose first nine
// characters are "copyfiles" in any case get "; " in front), through a temporary file (prefix
// "inf"), so the system's device installation copies no files of its own over the installed
// ones. Returns 1 when the file was replaced by the edited copy.
int DisableInfCopyFiles(const SetupContext& context, const char* path);
