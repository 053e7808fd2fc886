// The paths of an UpdateFile or AppendFile item as the run uses them.
#pragma once

#include "core/script_model.h"

class SetupContext;

// Expands the macros of the item's source and destination, then splits the source into its
// archive path and entry name: macros first, so the expanded source may name another
// executable's archive. All four buffers hold MAX_PATH bytes. Returns 0, and the item is not
// acted on, when a path outgrew its buffer: it would name another file.
int ExpandFileItemPaths(const SetupContext& context, const FileItem& item, char* destination,
                        char* archivePath, char* entryName);
