// The reader of the archive appended behind the setup executable (layout in
// core/archive_format.h). The one process-wide PayloadArchive opens the archive of its own
// executable, or of another packed executable, and extracts entries by name or pattern.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>

#include "core/archive_format.h"
#include "core/owned_list.h"

// One entry of the directory: the record's nine fields, plus `data`, a buffer of `size`
// bytes that the entry owns. `data` is absent until the entry is first loaded.
struct ArchiveEntry : ArchiveRecord {
  std::unique_ptr<unsigned char[]> data;
};

// Value of `flags` that lets extraction replace a destination file that already exists.
constexpr uint32_t OverwriteExisting = 2;

// Records the reader cannot use safely are left out of the directory, so looking up their
// names fails exactly as for a name the archive does not hold (the script engine then says
// the file is not in the package):
//   - a name longer than 259 characters (no 260-byte name buffer holds it), or empty;
//   - a storage flag other than 0 (a stored form the reader cannot unpack);
//   - a stored size that differs from the size (the read would overrun or underfill the
//     entry's buffer);
//   - data that does not lie in front of the directory magic (a damaged offset).
// Records behind these are still read. A directory that ends inside a record (its fixed
// fields or its name would reach into the trailer) stops the reading there: where a next
// record would start is unknown, so the records read so far form the directory.
class PayloadArchive {
 public:
  PayloadArchive() = default;
  PayloadArchive(const PayloadArchive&) = delete;
  PayloadArchive& operator=(const PayloadArchive&) = delete;

  // Opens the archive appended to the file at `archivePath`; an empty path means the running
  // executable. Non-zero on success, when the directory has been replaced. A missing file in
  // an existing folder, and a file without an archive, open as an empty archive. A file that
  // cannot be opened or whose trailer cannot be read shows "Cannot open the compressed
  // file." and yields 0, leaving the directory of the last successful open.
  int Open(const char* archivePath);

  // The first entry whose name equals `name` without regard to case; nullptr when none.
  ArchiveEntry* FindEntry(const char* name) const;

  // Pattern lookups: `*` and `?` wildcards, without regard to case (PathMatchSpecA), the
  // entry name matched as a whole; one pass each, in directory order.
  uint32_t SizeOfMatches(const char* pattern) const;
  int CountMatches(const char* pattern) const;
  // Copies the name of the n-th match (counted from 1) into `name` (260 bytes); 0 when there
  // are fewer than n matches.
  int GetMatchName(const char* pattern, int n, char* name) const;

  // Reads the entry's bytes into its `data` buffer (allocated on first use, reused after).
  // Yields its storedSize; 0 for an empty or unknown name or an archive that cannot be read.
  uint32_t LoadEntry(const char* name);

  // Writes an entry to `destination`, replacing an existing file only when `flags` has
  // OverwriteExisting, and gives it the entry's times. Yields the bytes written, or 0 when
  // the entry is unknown or empty, the destination exists and may not be replaced, or the
  // archive cannot be read. A name with wildcards that names no entry exactly yields 0 and
  // writes nothing, whatever it matches as a pattern. A destination that cannot be opened writes nothing and still
  // yields the entry's size: the callers count that file as done.
  // An empty name copies the whole archive file (the setup installing itself as its
  // uninstaller); that yields 1 on success.
  uint32_t ExtractEntry(const char* name, const char* destination);

  // Releases every entry with its buffer.
  void Clear();

  char path[MAX_PATH] = {};
  uint32_t payloadStart = 0;
  uint32_t directoryOffset = 0;
  uint32_t flags = 0;
  OwnedList<ArchiveEntry> entries;

 private:
  void SetEmpty(uint32_t trailerValue);
  uint32_t CopyWholeArchive(const char* destination) const;
};
