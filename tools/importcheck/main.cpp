// importcheck: lists what shipped Windows images import and fails on anything the allowlist
// does not hold, so that the setup and the programs it carries start on Windows 98 SE, ME,
// 2000 and XP and take no library from their own folder.
//
//   importcheck [--list] ALLOWLIST IMAGE-OR-FOLDER...
//
// A folder stands for every Windows image directly in it (the payload folder: whatever the
// setup carries). Each image must also name OS and subsystem version 4.0 in its header.
// Exit status: 0 every image passes, 1 an image fails, 2 unreadable input.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/importcheck/allowlist.h"
#include "tools/importcheck/pe_imports.h"

namespace {

bool ReadBytes(const std::string& path, std::vector<uint8_t>* bytes) {
  std::ifstream file(path, std::ios::binary);
  bytes->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return static_cast<bool>(file) || file.eof();
}

// The failures of one image, each printed as a line; the count of them.
int CheckImage(const std::string& path, const ImageImports& image, const ImportAllowlist& allowed, bool list) {
  int failures = 0;
  auto fail = [&](const std::string& what) {
    std::printf("%s: %s\n", path.c_str(), what.c_str());
    ++failures;
  };
  const ImageHeader& h = image.header;
  if (h.osMajor != 4 || h.osMinor != 0 || h.subsystemMajor != 4 || h.subsystemMinor != 0) {
    fail("OS version " + std::to_string(h.osMajor) + "." + std::to_string(h.osMinor) + " and subsystem version " +
         std::to_string(h.subsystemMajor) + "." + std::to_string(h.subsystemMinor) + ", not 4.0");
  }
  for (const ImageImport& i : image.imports) {
    const std::string what = i.library + " " + i.function + (i.runTime ? " (run time)" : " (static)");
    if (list) std::printf("%s: %s\n", path.c_str(), what.c_str());
    const auto& libraries = i.runTime ? allowed.runTimeLibraries : allowed.staticLibraries;
    if (!libraries.count(i.library)) {
      fail("library not allowed " + std::string(i.runTime ? "at run time" : "statically") + ": " + what);
    } else if (!allowed.functions.count({i.library, i.function})) {
      fail("function not allowed: " + what);
    }
  }
  return failures;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const bool list = !args.empty() && args[0] == "--list";
  if (list) args.erase(args.begin());
  if (args.size() < 2) {
    std::fprintf(stderr, "usage: importcheck [--list] ALLOWLIST IMAGE-OR-FOLDER...\n");
    return 2;
  }
  std::vector<uint8_t> bytes;
  ImportAllowlist allowed;
  std::string error;
  if (!ReadBytes(args[0], &bytes) || !ParseImportAllowlist(std::string(bytes.begin(), bytes.end()), &allowed, &error)) {
    std::fprintf(stderr, "%s: %s\n", args[0].c_str(), error.empty() ? "cannot be read" : error.c_str());
    return 2;
  }
  std::vector<std::string> images;
  for (size_t a = 1; a < args.size(); ++a) {
    std::error_code failed;
    if (!std::filesystem::is_directory(args[a], failed)) {
      images.push_back(args[a]);
      continue;
    }
    for (const auto& entry : std::filesystem::directory_iterator(args[a], failed)) {
      if (entry.is_regular_file() && ReadBytes(entry.path().string(), &bytes) && IsWindowsImage(bytes))
        images.push_back(entry.path().string());
    }
  }
  int failures = 0;
  for (const std::string& path : images) {
    ImageImports image;
    if (!ReadBytes(path, &bytes) || !ReadImageImports(bytes, &image, &error)) {
      std::fprintf(stderr, "%s: %s\n", path.c_str(), error.empty() ? "cannot be read" : error.c_str());
      return 2;
    }
    failures += CheckImage(path, image, allowed, list);
  }
  std::printf("%zu images checked, %d failures\n", images.size(), failures);
  return failures ? 1 : 0;
}
