#include "payload/payload_archive.h"

#include <shlwapi.h>

#include <cstring>
#include <new>

#include "core/bounded_string.h"
#include "payload/archive_file_source.h"
#include "res/resource.h"
#include "sys/module_instance.h"
#include "sys/setup_log.h"

namespace {

// Names are compared as the file system compares them: each character upper-cased in the
// ANSI code page, then byte for byte, so no linguistic rule makes two different names equal.
// `upperName` is the looked-up name, already upper-cased.
bool SameNameNoCase(const char* entryName, const char* upperName, int upperLength) {
  char upper[kEntryNameCapacity];
  if (lstrlenA(entryName) != upperLength || !CopyText(upper, sizeof upper, entryName)) return false;
  CharUpperBuffA(upper, static_cast<DWORD>(upperLength));
  return std::memcmp(upper, upperName, static_cast<size_t>(upperLength)) == 0;
}

bool Matches(const ArchiveEntry& entry, const char* pattern) {
  return pattern && PathMatchSpecA(entry.name, pattern) != FALSE;
}

// True when `filePath` names no file but its folder exists: an archive that is not there yet.
bool IsMissingFileInExistingFolder(const char* filePath) {
  if (GetFileAttributesA(filePath) != INVALID_FILE_ATTRIBUTES) return false;
  char folder[MAX_PATH];
  CopyText(folder, sizeof folder, filePath);
  PathRemoveFileSpecA(folder);
  if (!folder[0]) return true;  // a bare file name lies in the current folder
  const DWORD attributes = GetFileAttributesA(folder);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

FILETIME ToFiletime(uint64_t value) {
  FILETIME t;
  t.dwLowDateTime = static_cast<DWORD>(value);
  t.dwHighDateTime = static_cast<DWORD>(value >> 32);
  return t;
}

}  // namespace

int PayloadArchive::Open(const char* archivePath) {
  char chosen[MAX_PATH];
  if (!archivePath || !*archivePath) {
    const DWORD length = GetModuleFileNameA(nullptr, chosen, sizeof chosen);
    if (length == 0 || length >= sizeof chosen) {  // a cut path would name another file
      ShowProductMessage(IDS_CANNOT_OPEN_ARCHIVE);
      return 0;
    }
  } else if (!CopyText(chosen, sizeof chosen, archivePath)) {
    ShowProductMessage(IDS_CANNOT_OPEN_ARCHIVE);
    return 0;
  }
  CopyText(path, sizeof path, chosen);

  HANDLE file = OpenArchiveFile(path);
  if (file == INVALID_HANDLE_VALUE) {
    if (IsMissingFileInExistingFolder(path)) {
      SetEmpty(0);
      return 1;
    }
    ShowProductMessage(IDS_CANNOT_OPEN_ARCHIVE);
    return 0;
  }
  ArchiveFileSource source(file);
  ArchiveLayout layout;
  ReadArchive(source, &layout);
  CloseHandle(file);

  switch (layout.result) {
    case ArchiveReadResult::kTrailerUnreadable:
      ShowProductMessage(IDS_CANNOT_OPEN_ARCHIVE);
      return 0;
    case ArchiveReadResult::kNoArchive:
      SetEmpty(layout.payloadStart);  // both trailer values are the file length
      return 1;
    case ArchiveReadResult::kDirectoryUnreadable:
      SetEmpty(layout.payloadStart);
      directoryOffset = layout.directoryOffset;
      return 0;
    case ArchiveReadResult::kDirectory:
      break;
  }
  Clear();
  payloadStart = layout.payloadStart;
  directoryOffset = layout.directoryOffset;
  for (const ArchiveRecord& record : layout.directory.records) {
    std::unique_ptr<ArchiveEntry> entry(new ArchiveEntry);
    static_cast<ArchiveRecord&>(*entry) = record;
    entries.Append(std::move(entry));
  }
  return 1;
}

ArchiveEntry* PayloadArchive::FindEntry(const char* name) const {
  char upper[kEntryNameCapacity];
  if (!name || !CopyText(upper, sizeof upper, name)) return nullptr;  // longer than any entry name
  const int length = lstrlenA(upper);
  CharUpperBuffA(upper, static_cast<DWORD>(length));
  for (size_t i = 0; i < entries.Count(); ++i) {
    ArchiveEntry* entry = entries.At(i);
    if (SameNameNoCase(entry->name, upper, length)) return entry;
  }
  return nullptr;
}

uint32_t PayloadArchive::SizeOfMatches(const char* pattern) const {
  uint64_t total = 0;
  for (size_t i = 0; i < entries.Count(); ++i) {
    if (Matches(*entries.At(i), pattern)) total += entries.At(i)->size;
  }
  // Sizes of a damaged directory may add up past 32 bits; the sum saturates instead.
  return total > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(total);
}

int PayloadArchive::CountMatches(const char* pattern) const {
  int count = 0;
  for (size_t i = 0; i < entries.Count(); ++i) {
    if (Matches(*entries.At(i), pattern)) ++count;
  }
  return count;
}

int PayloadArchive::GetMatchName(const char* pattern, int n, char* name) const {
  for (size_t i = 0; i < entries.Count() && n > 0; ++i) {
    if (Matches(*entries.At(i), pattern) && --n == 0) return CopyText(name, kEntryNameCapacity, entries.At(i)->name);
  }
  return 0;
}

uint32_t PayloadArchive::LoadEntry(const char* name) {
  if (!name || !*name) return 0;
  ArchiveEntry* entry = FindEntry(name);
  if (!entry) return 0;
  if (!entry->data) {
    entry->data.reset(new (std::nothrow) unsigned char[entry->size]);
    if (!entry->data) return 0;
  }
  HANDLE file = OpenArchiveFile(path);
  if (file == INVALID_HANDLE_VALUE) return 0;
  ArchiveFileSource source(file);
  size_t got = 0;
  // The directory holds only records whose storedSize equals size: the read fits the buffer.
  const int read = source.ReadAt(entry->dataOffset, entry->data.get(), entry->storedSize, &got);
  CloseHandle(file);
  return read && got == entry->storedSize ? entry->storedSize : 0;
}

uint32_t PayloadArchive::ExtractEntry(const char* name, const char* destination) {
  if (!destination || !*destination) return 0;
  if (!name || !*name) return CopyWholeArchive(destination);

  const uint32_t total = SizeOfMatches(name);
  if (total == 0) return 0;
  ArchiveEntry* entry = FindEntry(name);
  if (!(flags & OverwriteExisting) && GetFileAttributesA(destination) != INVALID_FILE_ATTRIBUTES) {
    LogAction("File kept: %s", destination);
    return 0;
  }
  if (!entry || !LoadEntry(name)) return 0;

  HANDLE file = CreateFileA(destination, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    LogAction("File not written: %s", destination);
    return total;  // the callers count the file as done
  }
  // Never more than the entry's own buffer, whatever else the name matched as a pattern.
  const DWORD count = total < entry->size ? total : entry->size;
  DWORD written = 0;
  WriteFile(file, entry->data.get(), count, &written, nullptr);
  const FILETIME creation = ToFiletime(entry->creationTime);
  const FILETIME write = ToFiletime(entry->writeTime);
  SetFileTime(file, &creation, &write, &write);
  CloseHandle(file);
  // A short write (a full disk) is logged as such: the file is there, but not whole.
  LogAction(written == count ? "File written: %s (entry %s)" : "File written short: %s (entry %s)",
            destination, entry->name);
  return written;
}

void PayloadArchive::Clear() { entries.Clear(); }

void PayloadArchive::SetEmpty(uint32_t trailerValue) {
  Clear();
  payloadStart = trailerValue;
  directoryOffset = trailerValue;
}

uint32_t PayloadArchive::CopyWholeArchive(const char* destination) const {
  // The whole file is read before the destination is created: an unreadable archive leaves
  // an existing destination as it was.
  HANDLE source = OpenArchiveFile(path);
  if (source == INVALID_HANDLE_VALUE) return 0;
  ArchiveFileSource reader(source);
  uint64_t length = 0;
  unsigned char* bytes = nullptr;
  int read = reader.GetLength(&length) && length <= 0xFFFFFFFFu;
  if (read) bytes = new (std::nothrow) unsigned char[static_cast<size_t>(length)];
  size_t got = 0;
  read = bytes && reader.ReadAt(0, bytes, static_cast<size_t>(length), &got) && got == length;
  CloseHandle(source);

  uint32_t result = 0;
  if (read) {
    HANDLE file = CreateFileA(destination, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      const BOOL ok = WriteFile(file, bytes, static_cast<DWORD>(length), &written, nullptr);
      CloseHandle(file);
      result = ok && written == length;
      if (!result) DeleteFileA(destination);  // an incomplete copy must not pass for the program
      LogAction(result ? "File written: %s (the setup itself)" : "File not written: %s", destination);
    }
  }
  delete[] bytes;
  return result;
}
