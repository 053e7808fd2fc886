// The 9x family's smart card reader support: the install library shipped in the payload is
// run by the system's 16-bit host over the reader's INF file, from the INF folder.
#include <shlwapi.h>

#include "core/bounded_string.h"
#include "device/card_driver_contract.h"
#include "device/driver_steps.h"
#include "device/model_text.h"
#include "payload/payload_archive.h"
#include "sys/delete_files.h"
#include "sys/globals.h"
#include "sys/module_instance.h"
#include "sys/process_launch.h"

namespace {

// The short (8.3) form of path into shortPath; the path itself when the system has none for
// it (a file that is not there): the host then reports the missing INF itself.
void ShortForm(const char* path, char* shortPath, size_t cap) {
  const DWORD length = GetShortPathNameA(path, shortPath, static_cast<DWORD>(cap));
  if (length == 0 || length >= cap) CopyText(shortPath, cap, path);
}

// Runs the library's entry from the INF folder over the reader's INF.
void RunInstallLibrary(const char* library, const char* infFolder) {
  char model[kTextBufferSize];
  char inf[MAX_PATH];
  if (!FormatWithModel("%s", model, sizeof model) || !CopyText(inf, sizeof inf, infFolder) ||
      !PathAppendA(inf, model) || !AppendText(inf, sizeof inf, card_driver::kSmartCardInfSuffix)) {
    return;
  }
  char shortInf[MAX_PATH];
  ShortForm(inf, shortInf, sizeof shortInf);
  char arguments[kCommandLineSize];
  char windows[MAX_PATH];
  char host[MAX_PATH];
  ShortForm(setupContext.windowsFolder, windows, sizeof windows);
  if (CopyText(arguments, sizeof arguments, library) &&
      AppendText(arguments, sizeof arguments, card_driver::kSmartCardEntry) &&
      AppendText(arguments, sizeof arguments, shortInf) &&
      CopyText(host, sizeof host, windows) && PathAppendA(host, card_driver::kSmartCardHost)) {
    LaunchProcess(host, arguments, SW_HIDE);
  }
}

}  // namespace

void InstallSmartCardSupport() {
  char infFolder[MAX_PATH];
  char library[MAX_PATH];
  if (!CopyText(infFolder, sizeof infFolder, setupContext.windowsFolder) ||
      !PathAppendA(infFolder, "INF") || !CopyText(library, sizeof library, infFolder) ||
      !PathAppendA(library, card_driver::kSmartCardLibrary)) {
    return;
  }
  // Without the library nothing is started: the host would only complain about a missing
  // file to the user.
  if (!payloadArchive.Open("")) return;
  payloadArchive.flags |= OverwriteExisting;
  if (payloadArchive.ExtractEntry(card_driver::kSmartCardLibrary, library) == 0) return;

  char previousDirectory[MAX_PATH] = "";
  const DWORD saved = GetCurrentDirectoryA(sizeof previousDirectory, previousDirectory);
  SetCurrentDirectoryA(infFolder);
  RunInstallLibrary(library, infFolder);
  if (saved != 0 && saved < sizeof previousDirectory) SetCurrentDirectoryA(previousDirectory);
  DeleteFiles(library);
}
