// ReplaceIniSection: one section of an INI file on the machine is replaced by the payload's
// version of it, which then stands at the end of the file. Both files are read as text, line
// by line, through two temporary files in the temp folder.
#include <windows.h>

#include <cstdio>

#include "sys/globals.h"
#include "core/bounded_string.h"
#include "res/resource.h"
#include "script/archive_reference.h"
#include "script/context_macros.h"
#include "script/run_progress.h"
#include "script/script_actions.h"
#include "script/temp_file.h"
#include "sys/setup_context.h"
#include "sys/setup_log.h"

namespace {

constexpr char kTempPrefix[] = "gprs";

// Lines are read in pieces of at most 4094 characters; a longer line's later pieces are read
// as lines of their own.
constexpr int kLineSize = 4095;

// Whether line is a section header ("[" first) whose name, the text up to the first "]",
// equals section without regard to case. *isHeader tells whether it is a header at all.
bool IsSectionHeader(const char* line, const char* section, bool* isHeader) {
  *isHeader = line[0] == '[';
  if (!*isHeader) return false;
  char name[kLineSize];
  size_t length = 0;
  for (const char* p = line + 1; *p != '\0' && *p != ']' && *p != '\n' && *p != '\r'; ++p) {
    name[length++] = *p;
  }
  name[length] = '\0';
  return EqualsNoCase(name, section);
}

// Copies in to out, leaving out every stretch that begins with a header named section and
// ends at the next header with another name.
void CopyWithoutSection(FILE* in, FILE* out, const char* section) {
  char line[kLineSize];
  bool leavingOut = false;
  while (std::fgets(line, sizeof line, in) != nullptr) {
    bool isHeader = false;
    const bool named = IsSectionHeader(line, section, &isHeader);
    if (isHeader) leavingOut = named;
    if (!leavingOut) std::fputs(line, out);
  }
}

// Appends to out the first stretch of in that begins with a header named section, up to the
// next header with another name.
void AppendSection(FILE* in, FILE* out, const char* section) {
  char line[kLineSize];
  bool inside = false;
  while (std::fgets(line, sizeof line, in) != nullptr) {
    bool isHeader = false;
    const bool named = IsSectionHeader(line, section, &isHeader);
    if (isHeader && inside && !named) return;
    if (named) inside = true;
    if (inside) std::fputs(line, out);
  }
}

// Writes the edited text of `file` into `output`; false when either cannot be opened.
bool WriteEdited(const IniSectionItem& item, const char* output, const char* sourceCopy) {
  FILE* in = std::fopen(item.file, "r");
  if (in == nullptr) return false;  // an INI file that is not there is not created
  FILE* out = std::fopen(output, "w");
  if (out == nullptr) {
    std::fclose(in);
    return false;
  }
  CopyWithoutSection(in, out, item.section);
  std::fclose(in);

  // The payload's INI file: a failed extraction leaves the copy empty, so the section is
  // then only removed.
  char archivePath[MAX_PATH];
  char entryName[MAX_PATH];
  SplitArchiveReference(item.source, archivePath, entryName);
  if (payloadArchive.Open(archivePath)) payloadArchive.ExtractEntry(entryName, sourceCopy);

  FILE* payloadIni = std::fopen(sourceCopy, "r");
  if (payloadIni != nullptr) {
    AppendSection(payloadIni, out, item.section);
    std::fclose(payloadIni);
  }
  const bool written = std::fclose(out) == 0;
  return written;
}

}  // namespace

void RunReplaceIniSectionItem(SetupContext& context, IniSectionItem& item, ComponentSet selection,
                              RunProgress& progress) {
  progress.StartItem(IDS_ACTION_MODIFYING, item.file);
  if (!Applies(item, selection)) return;

  char output[MAX_PATH];
  char sourceCopy[MAX_PATH];
  const bool haveOutput = MakeTempFile(context.tempFolder, kTempPrefix, output) != 0;
  const bool haveCopy = MakeTempFile(context.tempFolder, kTempPrefix, sourceCopy) != 0;

  // A file name that outgrew its buffer would name another file: such a line edits nothing.
  if (haveOutput && haveCopy && ExpandContextMacros(context, item.file, sizeof item.file) &&
      WriteEdited(item, output, sourceCopy)) {
    if (CopyFileA(output, item.file, FALSE)) {
      LogAction("File edited: %s (section [%s])", item.file, item.section);
    }
  }
  // The temporary files are the item's own: they go whatever happened.
  if (haveOutput) DeleteFileA(output);
  if (haveCopy && DeleteFileA(sourceCopy)) LogAction("File deleted: %s", sourceCopy);
}
