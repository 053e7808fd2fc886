// z614pack extract FILE FOLDER [ENTRY...]: writes all entries, or the named ones (found
// without regard to case), into FOLDER, which is created when missing. Existing files are
// replaced. Every name is checked before anything is written, so an archive with a name
// that could leave the folder or open a device writes nothing at all. Each file's CRC-32 is
// checked while it is written; a file whose bytes differ from the record is removed again.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "core/archive_check.h"
#include "core/bounded_string.h"
#include "core/entry_name_rules.h"
#include "tools/z614pack/commands.h"
#include "tools/z614pack/file_access.h"
#include "tools/z614pack/file_times.h"
#include "tools/z614pack/packed_file.h"

namespace fs = std::filesystem;

namespace {

// Chooses the records to extract; 0 after reporting a name the archive does not hold or two
// entries that would land on the same file.
int SelectRecords(const char* archivePath, const std::vector<ArchiveRecord>& records, int nameCount, char** names,
                  std::vector<const ArchiveRecord*>* chosen) {
  if (nameCount == 0) {
    for (const ArchiveRecord& r : records) chosen->push_back(&r);
  }
  for (int i = 0; i < nameCount; ++i) {
    const ArchiveRecord* found = nullptr;
    for (const ArchiveRecord& r : records) {
      if (EqualsNoCase(r.name, names[i])) {
        found = &r;
        break;
      }
    }
    if (!found) return !Fail("%s: no entry named '%s'", archivePath, names[i]);
    chosen->push_back(found);
  }
  for (size_t i = 0; i < chosen->size(); ++i) {
    const char* reason = nullptr;
    if (!CheckPlainFileName((*chosen)[i]->name, &reason)) {
      return !Fail("%s: entry '%s' cannot be extracted: %s", archivePath, (*chosen)[i]->name, reason);
    }
    for (size_t k = 0; k < i; ++k) {
      if ((*chosen)[k] != (*chosen)[i] && EqualsNoCase((*chosen)[k]->name, (*chosen)[i]->name)) {
        return !Fail("%s: entries '%s' and '%s' would be written to the same file", archivePath, (*chosen)[k]->name,
                     (*chosen)[i]->name);
      }
    }
  }
  return 1;
}

int CopyRecordData(InputFile& archive, const ArchiveRecord& record, const std::string& destination,
                   std::vector<unsigned char>& buffer, OutputFile& out) {
  uint32_t crc = 0;
  const EntryRead read = ReadEntryData(
      archive, record, buffer,
      [&out](const unsigned char* data, size_t size) { return out.Write(data, size); }, &crc);
  if (read == EntryRead::kUnreadable) return !Fail("entry '%s': its data cannot be read", record.name);
  if (read == EntryRead::kRefused) return !Fail("%s: write error", destination.c_str());
  if (!out.Close()) return !Fail("%s: write error", destination.c_str());
  if (crc != record.crc) {
    return !Fail("entry '%s': CRC mismatch (recorded %08X, computed %08X)", record.name, static_cast<unsigned>(record.crc),
                 static_cast<unsigned>(crc));
  }
  if (!ApplyFileTimes(destination, record.creationTime, record.writeTime)) {
    return !Fail("%s: cannot set the file times", destination.c_str());
  }
  return 1;
}

// Writes one entry to `destination`; a file it created but could not complete is removed.
int ExtractRecord(InputFile& archive, const ArchiveRecord& record, const std::string& destination,
                  std::vector<unsigned char>& buffer) {
  OutputFile out;
  if (!out.Create(destination)) return !Fail("%s: cannot create: %s", destination.c_str(), std::strerror(errno));
  if (CopyRecordData(archive, record, destination, buffer, out)) return 1;
  out.Close();
  std::error_code ec;
  fs::remove(destination, ec);
  return 0;
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
  std::vector<unsigned char> buffer(kStreamChunkSize);
  for (const ArchiveRecord* record : chosen) {
    const std::string destination = (folder / record->name).string();
    if (!ExtractRecord(archive, *record, destination, buffer)) return 1;
  }
  return 0;
}
