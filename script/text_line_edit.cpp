// EnableTextLine and DisableTextLine: lines of an installed text file switched on and off by
// taking away or putting a leading ";", as the product's INF file switches its smart-card
// child device with the SC component.
#include <windows.h>
#include <shlwapi.h>

#include "core/bounded_string.h"
#include "res/resource.h"
#include "script/context_macros.h"
#include "script/diagnostics_record.h"
#include "script/run_progress.h"
#include "script/script_actions.h"
#include "script/text_file_rewrite.h"
#include "sys/folders.h"
#include "sys/setup_context.h"

namespace {

constexpr char kTempPrefix[] = "textfile";

struct LineSwitch {
  const char* pattern;
  int enable;
};

// The piece is matched with its line feed, as the shell matches a file name: a pattern
// without a trailing "*" only meets a last line without one.
void SwitchPiece(const char* piece, FILE* out, const void* context) {
  const LineSwitch& lineSwitch = *static_cast<const LineSwitch*>(context);
  if (PathMatchSpecA(piece, lineSwitch.pattern)) {
    if (lineSwitch.enable) {
      if (piece[0] == ';') ++piece;
    } else {
      std::fputc(';', out);
    }
  }
  std::fputs(piece, out);
}

}  // namespace

int SetTextLines(const SetupContext& context, const char* file, const char* pattern, int enable) {
  if (file == nullptr || file[0] == '\0' || pattern == nullptr || pattern[0] == '\0') return 0;
  const LineSwitch lineSwitch = {pattern, enable};
  return RewriteTextFile(context.tempFolder, file, kTempPrefix, SwitchPiece, &lineSwitch);
}

void RunTextLineItem(SetupContext& context, const TextLineItem& item, ComponentSet selection,
                     RunProgress& progress) {
  if (!Applies(item, selection)) return;
  char path[MAX_PATH];
  CopyText(path, sizeof path, item.file);
  // A path that outgrew its buffer would name another file: nothing is edited.
  if (!ExpandContextMacros(context, path, sizeof path)) return;

  progress.StartItem(IDS_ACTION_UPDATING, path);
  SetTextLines(context, path, item.pattern, static_cast<int>(item.enable));
  if (!HasExtension(path, "SMP") && !HasExtension(path, "SMS")) {
    WriteDiagnosticsRecord(context, path);
  }
}
