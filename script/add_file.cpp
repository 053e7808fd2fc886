// AddFile: installs one file and records it, with the files the system derives from it, so
// the uninstall takes them away again.
#include <windows.h>
#include <shlwapi.h>

#include <cstring>

#include "sys/globals.h"
#include "core/bounded_string.h"
#include "res/resource.h"
#include "script/archive_reference.h"
#include "script/context_macros.h"
#include "script/diagnostics_record.h"
#include "script/ensure_parent_folder.h"
#include "script/missing_file_message.h"
#include "script/run_progress.h"
#include "script/script_actions.h"
#include "sys/delete_files.h"
#include "sys/file_io.h"
#include "sys/folders.h"
#include "sys/setup_context.h"
#include "sys/setup_log.h"

namespace {

constexpr char kAddFileAction[] = "AddFile";

// Records "," and path as an AddFile record with the line's components.
void RecordFile(SetupContext& context, const char* path, ComponentSet mask) {
  char line[MAX_PATH + 1];
  CopyText(line, sizeof line, ",");
  AppendText(line, sizeof line, path);
  context.AppendUninstallRecord(kAddFileAction, line, mask);
}

// Records path with its extension changed: the file the system makes beside an installed one
// (the precompiled form of an INF file, the index of a help file).
void RecordCompanion(SetupContext& context, const char* path, const char* extension,
                     ComponentSet mask) {
  char companion[MAX_PATH];
  if (!CopyText(companion, sizeof companion, path)) return;
  if (!PathRenameExtensionA(companion, extension)) return;
  RecordFile(context, companion, mask);
}

// Extracts entryName of the archive at archivePath over destination.
bool ExtractFromArchive(const char* archivePath, const char* entryName, const char* destination) {
  EnsureParentFolder(destination);
  if (!payloadArchive.Open(archivePath)) return false;
  DeleteFiles(destination);
  return payloadArchive.ExtractEntry(entryName, destination) != 0;
}

bool CopyPlainFile(const char* path, const char* destination) {
  EnsureParentFolder(destination);
  if (!CopyFileA(path, destination, FALSE)) return false;
  LogAction("File written: %s (from %s)", destination, path);
  return true;
}

}  // namespace

void RunAddFileItem(SetupContext& context, const FileItem& item, ComponentSet selection,
                    RunProgress& progress) {
  if (!Applies(item, selection)) return;

  // The source is split as written, so a plain path reaches its drive through a macro and
  // the archive path and the entry name are expanded each on its own.
  char archivePath[MAX_PATH];
  char entryName[MAX_PATH];
  const bool fromArchive = SplitArchiveReference(item.source, archivePath, entryName) != 0;
  char destination[MAX_PATH];
  CopyText(destination, sizeof destination, item.destination);
  const bool expanded = ExpandContextMacros(context, archivePath, sizeof archivePath) &&
                        ExpandContextMacros(context, entryName, sizeof entryName) &&
                        ExpandContextMacros(context, destination, sizeof destination);

  progress.StartItem(IDS_ACTION_INSTALLING, destination);

  bool done = false;
  if (!expanded || std::strpbrk(destination, "*?") != nullptr) {
    // A path that outgrew its buffer would name another file, and a destination with
    // wildcards names none (deleting by it, or recording it, would take other files with
    // it): such a line installs nothing and counts as a file that is missing.
  } else if (item.precacheData) {
    // Written where the line says, also when that fails: a line with an empty destination
    // only precaches a text for the wizard's pages.
    WriteWholeFile(destination, item.precacheData.get(), item.precacheSize);
    done = true;
  } else if (fromArchive) {
    done = ExtractFromArchive(archivePath, entryName, destination);
  } else {
    done = CopyPlainFile(entryName, destination);
  }

  if (!done) {
    if (!item.optional) ShowMissingFileMessage(progress.Window(), entryName);
    return;
  }

  RecordFile(context, destination, item.includeMask);
  if (HasExtension(destination, "INF")) {
    DisableInfCopyFiles(context, destination);
    RecordCompanion(context, destination, ".PNF", item.includeMask);
  }
  if (!HasExtension(destination, "SMP") && !HasExtension(destination, "SMS")) {
    WriteDiagnosticsRecord(context, destination);
  }
  if (HasExtension(destination, "HLP")) {
    RecordCompanion(context, destination, ".GID", item.includeMask);
  }
}
