// The checked-in list of what shipped images may import. One entry a line:
//
//   LIBRARY [static]      WHERE-DOCUMENTED   the loader may take LIBRARY from the image's import table
//   LIBRARY [run-time]    WHERE-DOCUMENTED   LIBRARY may be bound at run time from the system folder
//   LIBRARY FUNCTION      WHERE-DOCUMENTED   FUNCTION of LIBRARY exists on every target system
//
// Library names are compared without regard to case, function names exactly. "#" starts a
// comment line. Every entry must say where it is documented.
#pragma once
#include <set>
#include <string>
#include <utility>

struct ImportAllowlist {
  std::set<std::string> staticLibraries;
  std::set<std::string> runTimeLibraries;
  std::set<std::pair<std::string, std::string>> functions;  // (library, function)
};

// Reads the list from text. Returns non-zero on success; zero with the line and reason in
// *error when an entry is malformed or names no documentation.
int ParseImportAllowlist(const std::string& text, ImportAllowlist* list, std::string* error);
