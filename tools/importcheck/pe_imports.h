// What a Windows image asks of the loader: the libraries and functions it imports, statically
// through its import directory or at run time through delay-import descriptors, and the
// system versions its header names. Standard C++ only: the check runs on the build machine.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct ImageImport {
  std::string library;   // lower case, as "kernel32.dll"
  std::string function;  // the name, or "#" and the ordinal
  bool runTime = false;  // bound by the image's delay-load helper rather than by the loader
};

struct ImageHeader {
  unsigned osMajor = 0, osMinor = 0;
  unsigned subsystemMajor = 0, subsystemMinor = 0;
};

struct ImageImports {
  ImageHeader header;
  std::vector<ImageImport> imports;
};

// True when bytes start like a Windows image (an MZ header that leads to a PE signature).
bool IsWindowsImage(const std::vector<uint8_t>& bytes);

// Reads the header and imports of an image held in bytes. Returns non-zero on success; zero
// when the image is malformed, with the reason in *error.
int ReadImageImports(const std::vector<uint8_t>& bytes, ImageImports* result, std::string* error);
