#include <windows.h>
#include <shlwapi.h>

#include "core/bounded_string.h"
#include "device/model_text.h"
#include "device/registry_cleanup.h"
#include "device/registry_traces.h"
#include "sys/delete_files.h"
#include "sys/file_io.h"
#include "sys/globals.h"

namespace {

// Deletes folder\subfolder\<model>*.* (the model name and "*.*" joined without separator).
void DeleteModelFiles(const char* folder, const char* subfolder) {
  char pattern[MAX_PATH];
  char files[kTraceTextSize];
  if (!CopyText(pattern, sizeof pattern, folder) || !PathAppendA(pattern, subfolder) ||
      !FormatWithModel("%s*.*", files, sizeof files) ||
      !AppendText(pattern, sizeof pattern, files)) {
    return;
  }
  DeleteFiles(pattern);
}

// The system keeps its own copy of every installed INF file as oem<n>.inf, whichever maker
// wrote it, so the name alone cannot tell the card's copies from other products'. A copy is
// the card's when its text holds the product's name ("Xelta Z614"): every INF of the card
// names its devices so, no other maker's file has a reason to. Files of more than
// kLargestOwnInf bytes are none of the card's (its INF files are a few kilobytes) and are not
// read; a Unicode INF stops the text at its first zero byte and so never matches, which keeps
// it too.
constexpr char kOemInfPattern[] = "oem*.inf";
constexpr DWORD kLargestOwnInf = 256 * 1024;

bool IsOwnInfCopy(const char* path, const char* productText) {
  char* text = nullptr;
  size_t size = 0;
  if (!ReadWholeFile(path, &text, &size) || text == nullptr) return false;
  const bool own = FindTextNoCase(text, productText) != nullptr;
  ReleaseFileBuffer(text);
  return own;
}

// Deletes the card's copies among folder\INF\oem*.inf, each with the precompiled form
// (oem<n>.pnf) the system keeps beside it.
void DeleteOwnInfCopies(const char* folder) {
  char productText[kTraceTextSize];
  char pattern[MAX_PATH];
  if (!FormatWithModel(kProductText, productText, sizeof productText) ||
      !CopyText(pattern, sizeof pattern, folder) || !PathAppendA(pattern, "INF") ||
      !PathAppendA(pattern, kOemInfPattern)) {
    return;
  }
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || found.nFileSizeHigh != 0 ||
        found.nFileSizeLow > kLargestOwnInf) {
      continue;
    }
    char path[MAX_PATH];
    if (!CopyText(path, sizeof path, pattern)) continue;
    PathRemoveFileSpecA(path);
    if (!PathAppendA(path, found.cFileName) || !IsOwnInfCopy(path, productText)) continue;
    DeleteFiles(path);
    if (PathRenameExtensionA(path, ".pnf")) DeleteFiles(path);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

}  // namespace

int RemoveDriverFiles() {
  DeleteModelFiles(setupContext.systemFolder, "INF\\");
  DeleteOwnInfCopies(setupContext.systemFolder);
  DeleteModelFiles(setupContext.systemFolder, "drivers\\");
  DeleteModelFiles(setupContext.windowsFolder, "Applog\\");
  return 0;
}
