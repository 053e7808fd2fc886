#include "script/diagnostics_record.h"

#include <windows.h>

#include <cstdio>

#include "res/resource.h"
#include "sys/checksum.h"
#include "sys/module_instance.h"
#include "sys/setup_context.h"

namespace {

constexpr char kDiagnosticsKeyFormat[] = "Software\\Xelta\\%s\\Diagnostics";

}  // namespace

int WriteDiagnosticsRecord(const SetupContext& context, const char* path) {
  if (!context.recordChecksums || path == nullptr || path[0] == '\0') return 0;
  ChecksumContext checksum;
  if (!FileChecksum(path, checksum)) return 0;
  char model[kTextBufferSize];
  if (LoadText(IDS_MODEL_NAME, model) == 0) return 0;
  char key[MAX_PATH];
  const int length = std::snprintf(key, sizeof key, kDiagnosticsKeyFormat, model);
  if (length < 0 || static_cast<size_t>(length) >= sizeof key) return 0;
  return WriteChecksumValue(key, path, checksum);
}
