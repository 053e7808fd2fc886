// AppendFile: an entry's bytes added to the end of a file on the machine, which is created
// when it does not exist. Nothing is recorded and nothing is reported.
#include <windows.h>

#include <cstring>
#include <memory>
#include <new>

#include "sys/globals.h"
#include "core/bounded_string.h"
#include "res/resource.h"
#include "script/file_item_paths.h"
#include "script/run_progress.h"
#include "script/script_actions.h"
#include "sys/setup_context.h"
#include "sys/setup_log.h"

namespace {

void AppendBytes(const char* destination, const unsigned char* bytes, DWORD size) {
  HANDLE file = CreateFileA(destination, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    LogAction("File not written: %s", destination);
    return;
  }
  SetFilePointer(file, 0, nullptr, FILE_END);
  DWORD written = 0;
  WriteFile(file, bytes, size, &written, nullptr);
  CloseHandle(file);
  LogAction("File appended: %s (%lu bytes)", destination, static_cast<unsigned long>(written));
}

}  // namespace

void RunAppendFileItem(SetupContext& context, const FileItem& item, ComponentSet selection,
                       RunProgress& progress) {
  progress.StartItem(IDS_ACTION_UPDATING, item.destination);
  if (!Applies(item, selection)) return;

  char destination[MAX_PATH];
  char archivePath[MAX_PATH];
  char entryName[MAX_PATH];
  if (!ExpandFileItemPaths(context, item, destination, archivePath, entryName)) return;

  progress.StartItem(IDS_ACTION_INSTALLING, destination);
  if (!payloadArchive.Open(archivePath)) return;

  const uint32_t size = payloadArchive.SizeOfMatches(entryName);
  if (size == 0) return;
  std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[size]);
  if (!buffer) return;
  // A failed read may leave the entry's buffer unfilled: nothing is appended then.
  if (payloadArchive.LoadEntry(entryName) == 0) return;
  const ArchiveEntry* entry = payloadArchive.FindEntry(entryName);
  if (entry == nullptr || !entry->data) return;
  // The buffer was sized by the entries matching the name; the entry's bytes never reach
  // past it, however the name matched.
  const uint32_t count = entry->size < size ? entry->size : size;
  std::memcpy(buffer.get(), entry->data.get(), count);
  AppendBytes(destination, buffer.get(), count);
}
