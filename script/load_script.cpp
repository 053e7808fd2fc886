#include "script/load_script.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstring>
#include <memory>
#include <new>

#include "sys/globals.h"
#include "sys/os_version.h"
#include "core/bounded_string.h"
#include "core/script_parser.h"
#include "script/archive_reference.h"
#include "script/context_macros.h"
#include "sys/delete_files.h"
#include "sys/file_io.h"
#include "sys/setup_context.h"
#include "sys/setup_log.h"

namespace {

// The parser's listener of a load: precaches each "<precache>" item right after it has been
// appended, the moment the setup has always read those bytes.
class Precacher : public ScriptParseListener {
 public:
  explicit Precacher(SetupContext& context) : context_(context) {}
  void OnPrecache(FileItem& item) override { PrecacheFileItem(context_, item); }

 private:
  SetupContext& context_;
};

// Reads a whole file into a new buffer of size + 1 bytes, the last a zero.
int ReadIntoOwnedBuffer(const char* path, std::unique_ptr<uint8_t[]>* data, uint32_t* size) {
  char* buffer = nullptr;
  size_t length = 0;
  if (!ReadWholeFile(path, &buffer, &length) || buffer == nullptr) return 0;
  std::unique_ptr<uint8_t[]> copy(new (std::nothrow) uint8_t[length + 1]);
  if (!copy || static_cast<uint32_t>(length) != length) {
    ReleaseFileBuffer(buffer);
    return 0;
  }
  std::memcpy(copy.get(), buffer, length);
  copy[length] = 0;
  ReleaseFileBuffer(buffer);
  *data = std::move(copy);
  *size = static_cast<uint32_t>(length);
  return 1;
}

}  // namespace

int SetupContext::FetchScriptFile(const char* name, const char* destination) {
  // An empty name would make the archive copy itself whole (ExtractEntry's rule for ""); no
  // script file has an empty name.
  if (name == nullptr || name[0] == '\0' || destination == nullptr) return 0;
  // PathAppendA leaves a fully qualified name standing for itself.
  char beside[MAX_PATH];
  CopyText(beside, sizeof beside, sourceFolder);
  if (PathAppendA(beside, name) && CopyFileA(beside, destination, FALSE)) {
    LogAction("File written: %s (from %s)", destination, beside);
    return 1;
  }
  return payloadArchive.ExtractEntry(name, destination) != 0 ? 1 : 0;
}

int SetupContext::LoadScript(const char* name) {
  if (name == nullptr) return 0;

  // 1-2: the script of that name beside the executable or in the archive, into a temporary
  // file that the archive may overwrite.
  char tempPath[MAX_PATH] = "";
  const bool haveTemp = GetTempFileNameA(tempFolder, kScriptTempPrefix, 0, tempPath) != 0;
  int fetched = 0;
  if (haveTemp) {
    const uint32_t savedFlags = payloadArchive.flags;
    payloadArchive.flags |= OverwriteExisting;
    fetched = FetchScriptFile(name, tempPath);
    payloadArchive.flags = savedFlags;
  }

  // 3: otherwise the name itself as a path (Remove.cnf in the target folder).
  const char* readPath = tempPath;
  if (!fetched) {
    if (haveTemp) DeleteFiles(tempPath);
    if (GetFileAttributesA(name) == INVALID_FILE_ATTRIBUTES) return 0;
    readPath = name;
  }

  // 4: one read into one buffer. A file that does not open reads as nothing: a failure too.
  char* text = nullptr;
  size_t size = 0;
  const int read = ReadWholeFile(readPath, &text, &size);
  if (fetched) DeleteFiles(tempPath);
  if (!read || text == nullptr) return 0;

  // 5-6: the core empties the nine lists and reads the text; precaching happens on the way.
  Precacher precacher(*this);
  ParseScriptText(text, size, QueryOsVersion(), &script, &precacher);

  // 7.
  ReleaseFileBuffer(text);
  return 1;
}

int PrecacheFileItem(SetupContext& context, FileItem& item) {
  item.precacheData.reset();
  item.precacheSize = 0;

  // 1: split the written source, then expand both parts; a part that does not fit after
  // expansion names no file.
  char archivePath[MAX_PATH];
  char entryName[MAX_PATH];
  SplitArchiveReference(item.source, archivePath, entryName);
  if (!ExpandContextMacros(context, archivePath, sizeof archivePath) ||
      !ExpandContextMacros(context, entryName, sizeof entryName)) {
    return 0;
  }

  // 2-3.
  char tempPath[MAX_PATH] = "";
  if (GetTempFileNameA(context.tempFolder, "", 0, tempPath) == 0) return 0;
  int done = 0;
  if (payloadArchive.Open(archivePath)) {
    // 4: the archive does not replace a file unless told to, so the empty file goes first.
    DeleteFiles(tempPath);
    if (context.FetchScriptFile(entryName, tempPath)) {
      done = ReadIntoOwnedBuffer(tempPath, &item.precacheData, &item.precacheSize);
    }
  }
  DeleteFiles(tempPath);
  return done;
}
