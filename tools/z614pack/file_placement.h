// How the extractor puts a file into the target folder without ever writing through what
// already stands there: the bytes go into a new file of its own, created under a temporary
// name that must not exist yet (so no link, pipe or device can stand in its place), and only
// a finished, verified file is renamed over the destination. A failed entry leaves the old
// file as it was.
#pragma once
#include <string>

#include "tools/z614pack/file_access.h"

// What stands at a destination now.
enum class Destination {
  kAbsent,
  kRegularFile,   // replaced by the rename: its own bytes are never opened
  kLink,          // a symbolic link or another reparse point: refused
  kNotRegular,    // a folder, pipe, socket or device: refused
};

Destination ExamineDestination(const std::string& path);

// Why a destination of that kind is refused; nullptr for the kinds that may be replaced.
const char* DestinationRefusal(Destination kind);

// Creates a new file in `folder` under a name of the form ".z614pack-PID-N.tmp" that did not
// exist before; stores the name in *path. Returns 0 (errno set) when none could be made.
int CreateTemporaryFile(const std::string& folder, OutputFile* file, std::string* path);

// Moves the finished file at `from` to `to`, replacing a file that stands there. 0 on failure.
int PlaceFile(const std::string& from, const std::string& to);
