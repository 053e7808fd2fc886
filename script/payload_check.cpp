#include "script/payload_check.h"

#include <shlwapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/archive_check.h"
#include "core/bounded_string.h"
#include "core/crc32.h"
#include "payload/archive_file_source.h"
#include "payload/payload_archive.h"
#include "res/resource.h"
#include "script/archive_reference.h"
#include "script/context_macros.h"
#include "script/file_item_paths.h"
#include "sys/globals.h"
#include "sys/module_instance.h"
#include "sys/setup_log.h"
#include "sys/setup_message.h"

namespace {

// Entries are read in chunks of this size; the CRC keeps pace with the disk.
constexpr size_t kChunkSize = 256 * 1024;

class EntryChecker {
 public:
  // Checks archivePath:entryName as the run opens it (an empty archive path is the running
  // setup). Returns 0 when the entry is held and its bytes fail their CRC or cannot be read.
  int Check(const char* archivePath, const char* entryName) {
    if (entryName == nullptr || entryName[0] == '\0') return 1;  // the whole archive: no entry
    if (!OpenArchive(archivePath)) return 1;  // the run shows the archive's own message
    const ArchiveEntry* entry = archive_.FindEntry(entryName);
    if (entry == nullptr) return 1;  // the run reports the missing file
    std::string key = std::string(archive_.path) + ":" + entry->name;
    for (const std::string& done : checked_) {
      if (EqualsNoCase(done.c_str(), key.c_str())) return 1;
    }
    checked_.push_back(key);
    if (EntrySound(*entry)) return 1;
    CopyText(damaged_, sizeof damaged_, entry->name);
    return 0;
  }

  // As Check, for the bytes of archivePath:entryName that the script's load precached.
  int CheckBytes(const char* archivePath, const char* entryName, const unsigned char* data,
                 uint32_t size) {
    if (entryName == nullptr || entryName[0] == '\0' || !OpenArchive(archivePath)) return 1;
    const ArchiveEntry* entry = archive_.FindEntry(entryName);
    if (entry == nullptr || (size == entry->size && Crc32(data, size) == entry->crc)) return 1;
    CopyText(damaged_, sizeof damaged_, entry->name);
    return 0;
  }

  const char* Damaged() const { return damaged_; }

 private:
  bool OpenArchive(const char* archivePath) {
    const char* wanted = archivePath != nullptr ? archivePath : "";
    if (opened_ && EqualsNoCase(wanted, openedPath_)) return true;
    opened_ = archive_.Open(wanted) != 0;
    CopyText(openedPath_, sizeof openedPath_, wanted);
    return opened_;
  }

  bool EntrySound(const ArchiveEntry& entry) {
    HANDLE file = OpenArchiveFile(archive_.path);
    if (file == INVALID_HANDLE_VALUE) return false;
    ArchiveFileSource source(file);
    uint32_t crc = 0;
    const EntryRead read =
        ReadEntryData(source, entry, buffer_, [](const unsigned char*, size_t) { return 1; }, &crc);
    CloseHandle(file);
    return read == EntryRead::kRead && crc == entry.crc;
  }

  PayloadArchive archive_;
  bool opened_ = false;
  char openedPath_[MAX_PATH] = "";
  std::vector<std::string> checked_;
  std::vector<unsigned char> buffer_ = std::vector<unsigned char>(kChunkSize);
  char damaged_[MAX_PATH] = "";
};

// A file beside the started setup takes the place of the entry when a script file is fetched
// (FetchScriptFile): its bytes have no stored CRC to be held against.
bool FetchedFromBeside(const SetupContext& context, const char* entryName) {
  char beside[MAX_PATH];
  if (!CopyText(beside, sizeof beside, context.sourceFolder) || !PathAppendA(beside, entryName)) {
    return false;
  }
  const DWORD attributes = GetFileAttributesA(beside);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Each list is taken as its action reads its source (see the action's file).
bool CheckFileItems(const SetupContext& context, const InstallScript& script,
                    ComponentSet selection, EntryChecker& checker) {
  for (size_t i = 0; i < script.fileItems.Count(); ++i) {
    const FileItem& item = *script.fileItems.At(i);
    if (!Applies(item, selection)) continue;
    char archivePath[MAX_PATH];
    char entryName[MAX_PATH];
    const bool fromArchive = SplitArchiveReference(item.source, archivePath, entryName) != 0;
    if (!ExpandContextMacros(context, archivePath, sizeof archivePath) ||
        !ExpandContextMacros(context, entryName, sizeof entryName)) {
      continue;
    }
    if (item.precacheData) {
      // The run writes the bytes the load read, from beside the setup or from the archive.
      if (FetchedFromBeside(context, entryName)) continue;
      if (!checker.CheckBytes(archivePath, entryName, item.precacheData.get(), item.precacheSize)) {
        return false;
      }
    } else if (fromArchive && !checker.Check(archivePath, entryName)) {
      return false;
    }
  }
  return true;
}

bool CheckExtractedItems(const SetupContext& context, const OwnedList<FileItem>& list,
                         ComponentSet selection, EntryChecker& checker) {
  for (size_t i = 0; i < list.Count(); ++i) {
    const FileItem& item = *list.At(i);
    if (!Applies(item, selection)) continue;
    char destination[MAX_PATH];
    char archivePath[MAX_PATH];
    char entryName[MAX_PATH];
    if (!ExpandFileItemPaths(context, item, destination, archivePath, entryName)) continue;
    if (!checker.Check(archivePath, entryName)) return false;
  }
  return true;
}

template <typename Item>
bool CheckSourceItems(const OwnedList<Item>& list, ComponentSet selection, EntryChecker& checker) {
  for (size_t i = 0; i < list.Count(); ++i) {
    const Item& item = *list.At(i);
    if (!Applies(item, selection)) continue;
    char archivePath[MAX_PATH];
    char entryName[MAX_PATH];
    SplitArchiveReference(item.source, archivePath, entryName);
    if (!checker.Check(archivePath, entryName)) return false;
  }
  return true;
}

}  // namespace

int CheckPayloadEntries(const SetupContext& context, ComponentSet selection,
                        const char* extraEntry, char* damagedEntry) {
  damagedEntry[0] = '\0';
  EntryChecker checker;
  const InstallScript& script = context.script;
  const bool sound = (extraEntry == nullptr || checker.Check("", extraEntry)) &&
                     CheckSourceItems(script.iniSectionItems, selection, checker) &&
                     CheckSourceItems(script.regFileItems, selection, checker) &&
                     CheckExtractedItems(context, script.updateItems, selection, checker) &&
                     CheckExtractedItems(context, script.appendItems, selection, checker) &&
                     CheckFileItems(context, script, selection, checker);
  if (sound) return 1;
  CopyText(damagedEntry, MAX_PATH, checker.Damaged());
  return 0;
}

int PayloadSoundForRun(HWND owner, ComponentSet selection, const char* extraEntry) {
  char damaged[MAX_PATH];
  if (CheckPayloadEntries(setupContext, selection, extraEntry, damaged)) {
    LogAction("Payload check: every entry of the run is sound");
    return 1;
  }
  LogAction("Payload check: entry %s is damaged; nothing is changed", damaged);
  char format[kTextBufferSize];
  char caption[kTextBufferSize];
  char text[kTextBufferSize + MAX_PATH];
  LoadText(IDS_PAYLOAD_DAMAGED, format);
  LoadText(IDS_MESSAGE_CAPTION, caption);
  std::snprintf(text, sizeof text, format, damaged);
  ShowSetupMessage(owner, text, caption, MB_OK);
  return 0;
}
