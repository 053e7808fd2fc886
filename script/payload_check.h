// The payload check: before a run changes anything on the machine, the CRC-32 of every archive
// entry it will extract is computed anew and compared with the one the packer stored, so a
// damaged download installs nothing rather than damaged files.
#pragma once
#include <windows.h>

#include "core/component_set.h"

class SetupContext;

// The exit code of a run that found its payload damaged and changed nothing.
constexpr int kPayloadDamagedExitCode = 1603;

// Checks the entries that RunScript extracts for `selection` with the script loaded in
// `context` (AddFile, UpdateFile, AppendFile, ReplaceIniSection and AddRegFile items whose
// source names an archive entry, found in the archive the run opens for it), and `extraEntry`
// of the running setup's archive when it is not null. Each entry is read once however many
// lines name it; the bytes a <precache> line read at load time are checked themselves, unless a
// file beside the setup gave them. An entry the archive does not hold is left to the run, which
// reports it.
// Returns 1 when every entry is sound; else 0 with the first damaged or unreadable entry's name
// in damagedEntry (MAX_PATH bytes).
int CheckPayloadEntries(const SetupContext& context, ComponentSet selection,
                        const char* extraEntry, char* damagedEntry);

// The check as a worker makes it before its first change: the result is logged, and a damaged
// entry is named in a message (string 230) owned by `owner`. Returns 1 when the run may go on.
int PayloadSoundForRun(HWND owner, ComponentSet selection, const char* extraEntry);
