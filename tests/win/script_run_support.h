// What the Windows-side tests of the script engine share: payloads packed with the packer's own
// writer and a scratch installation with its context.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "sys/globals.h"
#include "sys/os_version.h"
#include "core/archive_format.h"
#include "core/bounded_string.h"
#include "core/script_parser.h"
#include "sys/setup_context.h"
#include "tests/win/sys_test_support.h"

namespace script_test {

struct PackedEntry {
  std::string name;
  std::string data;
};

// 2003-05-01 10:00 UTC and a day later: the times every entry carries.
constexpr uint64_t kCreated = 126962424000000000ull;
constexpr uint64_t kWritten = kCreated + 864000000000ull;

class StringSink : public ByteSink {
 public:
  std::string bytes;
  int Write(const void* data, size_t size) override {
    bytes.append(static_cast<const char*>(data), size);
    return 1;
  }
};

// An executable image (a small stand-in unless one is given) with the entries appended.
inline std::string Packed(const std::vector<PackedEntry>& entries, const std::string& image = "") {
  StringSink sink;
  sink.bytes = image.empty() ? std::string("MZ") + std::string(0x3FE, '\x90') : image;
  ArchiveWriter writer(sink, sink.bytes.size());
  writer.Begin();
  for (const PackedEntry& e : entries) {
    writer.BeginEntry(e.name.c_str(), kCreated, kWritten);
    writer.WriteEntryData(e.data.data(), e.data.size());
    writer.EndEntry();
  }
  writer.Finish();
  return sink.bytes;
}

inline std::string ReadText(const std::string& path) {
  std::string text;
  ReadTestFile(path, &text);
  return text;
}

// Files in folder (which ends with its backslash) whose names match pattern.
inline int CountMatching(const std::string& folder, const char* pattern) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do ++count;
  while (FindNextFileA(search, &found));
  FindClose(search);
  return count;
}

constexpr char kDiagnosticsKey[] = "Software\\Xelta\\Z614\\Diagnostics";

// One record of Remove.cnf as the run appends it.
inline std::string Record(const std::string& header, const std::string& line) {
  return "[" + header + "]\r\n" + line + "\r\n\r\n";
}

// A scratch folder with the packed file pack.exe, and a context whose source folder is that
// folder and whose target folder is its "Target" sub-folder (not created). While it lives the
// current directory is C:\ and the archive may replace files, as the workers set it.
struct ScratchInstall {
  explicit ScratchInstall(const char* name, const std::vector<PackedEntry>& entries = {})
      : folder(MakeScratchFolder(name)), owned(new SetupContext), context(*owned) {
    CopyText(context.sourceFolder, MAX_PATH, folder.c_str());
    CopyText(context.targetFolder, MAX_PATH, Target().c_str());
    WriteTestFile(Path("pack.exe"), Packed(entries));
    GetCurrentDirectoryA(MAX_PATH, previousDirectory);
    SetCurrentDirectoryA("C:\\");
    payloadArchive.flags |= OverwriteExisting;
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kDiagnosticsKey);
  }
  ~ScratchInstall() {
    payloadArchive.flags = previousFlags;
    payloadArchive.Clear();
    SetCurrentDirectoryA(previousDirectory);
    DeleteFolderTree(folder.c_str());
  }
  std::string Path(const std::string& name) const { return folder + "\\" + name; }
  std::string Target() const { return folder + "\\Target"; }
  std::string TargetPath(const std::string& name) const { return Target() + "\\" + name; }
  // The packed file as a rooted path without drive: it survives the split at the first colon
  // of sources that are split after their macros are expanded.
  std::string PackReference(const std::string& entry) const {
    return folder.substr(2) + "\\pack.exe:" + entry;
  }
  int Parse(const std::string& text) {
    return ParseScriptText(text.data(), text.size(), QueryOsVersion(), &context.script, nullptr);
  }
  std::string RemoveScript() const { return ReadText(TargetPath("Remove.cnf")); }

  const std::string folder;
  const uint32_t previousFlags = payloadArchive.flags;
  char previousDirectory[MAX_PATH] = "";
  std::unique_ptr<SetupContext> owned;
  SetupContext& context;
};

}  // namespace script_test
