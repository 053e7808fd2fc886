// UpdateFile: an entry of the payload extracted over an existing file. Updated files belong to
// the system (the card's drivers replace their own), so nothing is recorded for the uninstall.
#include <windows.h>

#include "sys/globals.h"
#include "core/bounded_string.h"
#include "res/resource.h"
#include "script/file_item_paths.h"
#include "script/missing_file_message.h"
#include "script/run_progress.h"
#include "script/script_actions.h"
#include "sys/setup_context.h"

void RunUpdateFileItem(SetupContext& context, const FileItem& item, ComponentSet selection,
                       RunProgress& progress) {
  progress.StartItem(IDS_ACTION_UPDATING, item.destination);
  if (!Applies(item, selection)) return;

  char destination[MAX_PATH];
  char archivePath[MAX_PATH];
  char entryName[MAX_PATH];
  if (!ExpandFileItemPaths(context, item, destination, archivePath, entryName)) return;

  progress.StartItem(IDS_ACTION_INSTALLING, destination);
  if (!payloadArchive.Open(archivePath)) return;
  // The caller has set OverwriteExisting, so an existing destination is replaced.
  if (payloadArchive.ExtractEntry(entryName, destination) == 0) {
    ShowMissingFileMessage(progress.Window(), entryName);
  }
}
