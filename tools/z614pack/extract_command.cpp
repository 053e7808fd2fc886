// z614pack extract FILE FOLDER [ENTRY...]: writes all entries, or the named ones (found
// without regard to case), into FOLDER, which is created when missing. Existing files are
// replaced. Every name, and what stands at each name's place in the folder, is checked before
// anything is written, so an archive with a name that could leave the folder or open a
// device writes nothing at all. Each entry goes into a file created new, never through
// anything that stands in the folder; an existing file is replaced only by renaming a verified
// temporary file over it (see file_placement.h), so a damaged entry never replaces a good one.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <unordered_map>
#include <vector>

#include "core/archive_check.h"
#include "core/entry_name_rules.h"
#include "tools/z614pack/commands.h"
#include "tools/z614pack/file_access.h"
#include "tools/z614pack/file_placement.h"
#include "tools/z614pack/file_times.h"
#include "tools/z614pack/packed_file.h"
#include "tools/z614pack/printable_name.h"

namespace fs = std::filesystem;

namespace {

// The key under which the setup's lookup, which ignores ASCII letter case, finds a name.
std::string LookupKey(const char* name) {
  std::string key(name);
  for (char& c : key) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return key;
}

// Chooses the records to extract; 0 after reporting a name the archive does not hold, a name
// that cannot stand in the folder, or two entries that would land on the same file. Lookups go
// through a hash table, so an archive of many entries costs time in proportion to its size.
int SelectRecords(const char* archivePath, const std::vector<ArchiveRecord>& records, int nameCount, char** names,
                  std::vector<const ArchiveRecord*>* chosen) {
  std::unordered_map<std::string, const ArchiveRecord*> byName;
  byName.reserve(records.size());
  for (const ArchiveRecord& r : records) byName.emplace(LookupKey(r.name), &r);  // the first one wins
  if (nameCount == 0) {
    for (const ArchiveRecord& r : records) chosen->push_back(&r);
  }
  for (int i = 0; i < nameCount; ++i) {
    const auto found = byName.find(LookupKey(names[i]));
    if (found == byName.end()) {
      return !Fail("%s: no entry named '%s'", archivePath, PrintableName(names[i]).c_str());
    }
    chosen->push_back(found->second);
  }
  std::unordered_map<std::string, const ArchiveRecord*> taken;
  taken.reserve(chosen->size());
  for (const ArchiveRecord* record : *chosen) {
    const char* reason = nullptr;
    if (!CheckPlainFileName(record->name, &reason)) {
      return !Fail("%s: entry '%s' cannot be extracted: %s", archivePath, PrintableName(record->name).c_str(), reason);
    }
    const auto placed = taken.emplace(LookupKey(record->name), record);
    if (!placed.second && placed.first->second != record) {
      return !Fail("%s: entries '%s' and '%s' would be written to the same file", archivePath,
                   PrintableName(placed.first->second->name).c_str(), PrintableName(record->name).c_str());
    }
  }
  return 1;
}

// Streams the entry into `out` and checks its CRC-32; `temporary` is the file's name for messages.
int WriteVerifiedData(InputFile& archive, const ArchiveRecord& record, const std::string& temporary,
                      std::vector<unsigned char>& buffer, OutputFile& out) {
  uint32_t crc = 0;
  const EntryRead read = ReadEntryData(
      archive, record, buffer,
      [&out](const unsigned char* data, size_t size) { return out.Write(data, size); }, &crc);
  const std::string name = PrintableName(record.name);
  if (read == EntryRead::kUnreadable) return !Fail("entry '%s': its data cannot be read", name.c_str());
  if (read == EntryRead::kRefused || !out.Close()) return !Fail("%s: write error", temporary.c_str());
  if (crc != record.crc) {
    return !Fail("entry '%s': CRC mismatch (recorded %08X, computed %08X)", name.c_str(),
                 static_cast<unsigned>(record.crc), static_cast<unsigned>(crc));
  }
  if (!ApplyFileTimes(temporary, record.creationTime, record.writeTime)) {
    return !Fail("%s: cannot set the file times", temporary.c_str());
  }
  return 1;
}

// Writes one entry to `destination`. Where no file stands there yet, the entry is written to
// a file created under its own name, which must not exist (nothing can stand in its place);
// else, or when a file appeared meanwhile, through a temporary file renamed over it, which
// replaces the name and never writes through it. Whatever fails, the file made here is
// removed and the destination is left as it was.
int ExtractRecord(InputFile& archive, const ArchiveRecord& record, const std::string& folder,
                  const std::string& destination, bool absent, std::vector<unsigned char>& buffer) {
  OutputFile out;
  std::string written = destination;
  if (!absent || !out.CreateNew(destination)) {
    if (absent && errno != EEXIST) {
      return !Fail("%s: cannot create: %s", PrintableName(destination.c_str()).c_str(), std::strerror(errno));
    }
    if (!CreateTemporaryFile(folder, &out, &written)) {
      return !Fail("%s: cannot create a file: %s", folder.c_str(), std::strerror(errno));
    }
  }
  int done = WriteVerifiedData(archive, record, written, buffer, out);
  if (done && written != destination && !PlaceFile(written, destination)) {
    done = !Fail("%s: cannot be replaced: %s", PrintableName(destination.c_str()).c_str(), std::strerror(errno));
  }
  if (!done) {
    out.Close();
    std::error_code ec;
    fs::remove(written, ec);
  }
  return done;
}

}  // namespace

int ExtractCommand(const char* archivePath, const char* folderPath, int nameCount, char** names) {
  InputFile archive;
  ArchiveLayout layout;
  if (!OpenPackedFile(archivePath, &archive, &layout)) return 1;
  std::vector<const ArchiveRecord*> chosen;
  if (!SelectRecords(archivePath, layout.directory.records, nameCount, names, &chosen)) return 1;

  std::error_code ec;
  const fs::path folder(folderPath);
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder, ec)) return Fail("%s: cannot create the folder", folderPath);
  std::vector<std::string> destinations;
  std::vector<bool> absent;
  destinations.reserve(chosen.size());
  absent.reserve(chosen.size());
  for (const ArchiveRecord* record : chosen) {
    destinations.push_back((folder / record->name).string());
    const Destination kind = ExamineDestination(destinations.back());
    if (const char* refusal = DestinationRefusal(kind)) {
      return Fail("%s: refused: %s", PrintableName(destinations.back().c_str()).c_str(), refusal);
    }
    absent.push_back(kind == Destination::kAbsent);
  }
  std::vector<unsigned char> buffer(kStreamChunkSize);
  for (size_t i = 0; i < chosen.size(); ++i) {
    if (!ExtractRecord(archive, *chosen[i], folder.string(), destinations[i], absent[i], buffer)) return 1;
  }
  return 0;
}
