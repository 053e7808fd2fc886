// AddRegFile: a registry text of the payload, extracted into the temp folder under its entry
// name, applied and deleted again. Registry texts stay after an uninstall: nothing is recorded.
#include <windows.h>
#include <shlwapi.h>

#include <cstring>

#include "sys/globals.h"
#include "core/bounded_string.h"
#include "res/resource.h"
#include "script/archive_reference.h"
#include "script/registry_import.h"
#include "script/run_progress.h"
#include "script/script_actions.h"
#include "sys/setup_context.h"
#include "sys/setup_log.h"

void RunAddRegFileItem(SetupContext& context, const RegFileItem& item, ComponentSet selection,
                       RunProgress& progress) {
  progress.StartItem(IDS_ACTION_INSTALLING, item.source);
  if (!Applies(item, selection)) return;

  char archivePath[MAX_PATH];
  char entryName[MAX_PATH];
  SplitArchiveReference(item.source, archivePath, entryName);
  // The entry name becomes a file name in the temp folder: a name with a folder part would
  // write outside it, and an empty one (the whole archive) names no registry text.
  if (entryName[0] == '\0' || std::strpbrk(entryName, "\\/:") != nullptr) return;
  char registryFile[MAX_PATH];
  if (!CopyText(registryFile, sizeof registryFile, context.tempFolder) ||
      !PathAppendA(registryFile, entryName)) {
    return;
  }

  progress.StartItem(IDS_ACTION_INSTALLING, registryFile);
  if (payloadArchive.Open(archivePath) && payloadArchive.ExtractEntry(entryName, registryFile)) {
    ImportRegistryFile(registryFile);
    if (DeleteFileA(registryFile)) LogAction("File deleted: %s", registryFile);
  }
}
