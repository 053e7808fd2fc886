// The CopyFiles directives of every INF file the script installs are commented out: the files
// they name are installed by the script itself, and the system's device installation must not
// copy its own versions over them.
#include <cstring>

#include "core/bounded_string.h"
#include "script/script_actions.h"
#include "script/text_file_rewrite.h"
#include "sys/setup_context.h"

namespace {

constexpr char kTempPrefix[] = "inf";
constexpr char kDirective[] = "copyfiles";
constexpr size_t kDirectiveLength = sizeof kDirective - 1;

// Only a piece that begins with the directive: an indented one, a section whose name ends in
// CopyFiles and a line that names a CopyFiles section further on stay as they are.
void CommentCopyFiles(const char* piece, FILE* out, const void*) {
  char start[kDirectiveLength + 1];
  const size_t length = std::strlen(piece);
  if (length >= kDirectiveLength) {
    std::memcpy(start, piece, kDirectiveLength);
    start[kDirectiveLength] = '\0';
    if (EqualsNoCase(start, kDirective)) std::fputs("; ", out);
  }
  std::fputs(piece, out);
}

}  // namespace

int DisableInfCopyFiles(const SetupContext& context, const char* path) {
  if (path == nullptr || path[0] == '\0') return 0;
  return RewriteTextFile(context.tempFolder, path, kTempPrefix, CommentCopyFiles, nullptr);
}
