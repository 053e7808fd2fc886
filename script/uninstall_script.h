// The uninstall script Remove.cnf: the Win32 side of
// SetupContext::AppendUninstallRecord and SetupContext::RunUninstall, declared in
// sys/setup_context.h. The record text is the core's (core/uninstall_record.h).
//
// AppendUninstallRecord opens targetFolder\Remove.cnf (OPEN_ALWAYS, sharing reads), writes one
// record at its end in one write and closes it again; a file that cannot be opened drops the
// record silently, as does a record the core refuses (longer than kUninstallRecordSize).
//
// RunUninstall takes the loaded uninstall script (LoadScript of the target folder's Remove.cnf)
// and undoes every record whatever its tags: it deletes each fileItems destination (wildcards
// allowed, attributes cleared, retries as DeleteFiles does), then each shellLinkItems link,
// then, with "C:\" as the current directory, removes each folderItems folder that is empty.
// With a window it sends, per item, ProgressText ("Removing\r\n" and the path), ItemProgress 0,
// ItemProgress 100 and OverallProgress (wizard/wizard_messages.h); without one it is silent.
#pragma once

// The uninstall script's file name in the target folder.
constexpr char kUninstallScriptName[] = "Remove.cnf";
