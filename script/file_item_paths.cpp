#include "script/file_item_paths.h"

#include <windows.h>

#include "core/bounded_string.h"
#include "script/archive_reference.h"
#include "script/context_macros.h"
#include "sys/setup_context.h"

int ExpandFileItemPaths(const SetupContext& context, const FileItem& item, char* destination,
                        char* archivePath, char* entryName) {
  char source[MAX_PATH];
  CopyText(source, sizeof source, item.source);
  CopyText(destination, MAX_PATH, item.destination);
  if (!ExpandContextMacros(context, source, sizeof source) ||
      !ExpandContextMacros(context, destination, MAX_PATH)) {
    return 0;
  }
  SplitArchiveReference(source, archivePath, entryName);
  return 1;
}
