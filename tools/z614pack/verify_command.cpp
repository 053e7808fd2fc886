// z614pack verify FILE: the archive's structure as the packer makes it, every entry name as
// the packer and the extractor accept it, then every entry's CRC-32 recomputed from its bytes.
// The first fault of structure or data is reported; names that would be refused are all named
// (up to a limit), as an archive from elsewhere may carry several.
#include <cinttypes>
#include <cstdio>

#include "core/archive_check.h"
#include "core/entry_name_rules.h"
#include "tools/z614pack/commands.h"
#include "tools/z614pack/packed_file.h"
#include "tools/z614pack/printable_name.h"

namespace {

constexpr size_t kNamedRefusals = 10;

// Reports every entry whose name pack and extract refuse; returns their count.
size_t ReportRefusedNames(const char* archivePath, const ArchiveLayout& layout) {
  size_t refused = 0;
  for (const ArchiveRecord& r : layout.directory.records) {
    const char* reason = nullptr;
    if (CheckPlainFileName(r.name, &reason)) continue;
    if (++refused <= kNamedRefusals) {
      Fail("%s: entry '%s' has a name that pack and extract refuse: %s", archivePath, PrintableName(r.name).c_str(),
           reason);
    }
  }
  if (refused > kNamedRefusals) {
    Fail("%s: %" PRIu64 " more entries have names that pack and extract refuse", archivePath,
         static_cast<uint64_t>(refused - kNamedRefusals));
  }
  return refused;
}

}  // namespace

int VerifyCommand(const char* archivePath) {
  InputFile file;
  ArchiveLayout layout;
  if (!OpenPackedFile(archivePath, &file, &layout)) return 1;
  char message[512];
  if (!CheckArchiveStructure(file, layout, message, sizeof message)) return Fail("%s: %s", archivePath, message);
  if (ReportRefusedNames(archivePath, layout) > 0) return 1;
  if (!CheckEntryCrcs(file, layout, message, sizeof message)) return Fail("%s: %s", archivePath, message);
  std::printf("%s: sound, %" PRIu64 " entries, every CRC-32 matches\n", archivePath,
              static_cast<uint64_t>(layout.directory.records.size()));
  return 0;
}
