#include "device/profile_collection.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstring>
#include <memory>
#include <new>

#include "core/bounded_string.h"
#include "device/profile_text.h"
#include "payload/payload_archive.h"
#include "sys/setup_context.h"

namespace {

constexpr char kRegeditHeader[] = "regedit4";
constexpr size_t kRegeditHeaderLength = sizeof kRegeditHeader - 1;

// Whether the text's first 8 bytes are "regedit4" in any letter case.
bool BeginsWithRegeditHeader(const ProfileText& text) {
  if (text.size < kRegeditHeaderLength) return false;
  for (size_t i = 0; i < kRegeditHeaderLength; ++i) {
    uint8_t c = text.data[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<uint8_t>(c - 'A' + 'a');
    if (c != static_cast<uint8_t>(kRegeditHeader[i])) return false;
  }
  return true;
}

void CollectFromArchive(PayloadArchive& archive, const char* pattern,
                        OwnedList<ProfileText>& list) {
  const int count = archive.CountMatches(pattern);
  for (int n = 1; n <= count; ++n) {
    auto text = std::make_unique<ProfileText>();
    if (!archive.GetMatchName(pattern, n, text->name)) break;
    ProfileText* added = list.Append(std::move(text));
    // Loaded bytes that cannot be copied leave the text in the list with size 0.
    const uint32_t loaded = archive.LoadEntry(added->name);
    const ArchiveEntry* entry = archive.FindEntry(added->name);
    if (loaded == 0 || entry == nullptr || entry->data == nullptr) continue;
    added->data.reset(new (std::nothrow) uint8_t[loaded]);
    if (added->data == nullptr) continue;
    std::memcpy(added->data.get(), entry->data.get(), loaded);
    added->size = loaded;
  }
}

// Reads the file at path whole; nullptr when it does not open or cannot be read.
std::unique_ptr<ProfileText> ReadProfileFile(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  std::unique_ptr<ProfileText> text;
  const DWORD length = SetFilePointer(file, 0, nullptr, FILE_END);
  if (length != INVALID_SET_FILE_POINTER && SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0) {
    text.reset(new (std::nothrow) ProfileText);
    if (text != nullptr) {
      // One byte more than the text, so that an empty file still gets a buffer.
      text->data.reset(new (std::nothrow) uint8_t[static_cast<size_t>(length) + 1]);
      DWORD read = 0;
      if (text->data == nullptr || !ReadFile(file, text->data.get(), length, &read, nullptr) ||
          read != length) {
        text.reset();
      } else {
        text->size = length;
        CopyText(text->name, sizeof text->name, path);
      }
    }
  }
  CloseHandle(file);
  return text;
}

void CollectFromFolder(const char* folder, const char* pattern, bool needsRegeditHeader,
                       OwnedList<ProfileText>& list) {
  if (folder[0] == '\0') return;
  char search[MAX_PATH];
  CopyText(search, sizeof search, folder);
  if (!PathAppendA(search, pattern)) return;

  WIN32_FIND_DATAA found;
  HANDLE finder = FindFirstFileA(search, &found);
  if (finder == INVALID_HANDLE_VALUE) return;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    char path[MAX_PATH];
    CopyText(path, sizeof path, folder);
    if (!PathAppendA(path, found.cFileName)) continue;
    std::unique_ptr<ProfileText> text = ReadProfileFile(path);
    if (text == nullptr) continue;
    if (needsRegeditHeader && !BeginsWithRegeditHeader(*text)) continue;
    list.Append(std::move(text));
  } while (FindNextFileA(finder, &found));
  FindClose(finder);
}

}  // namespace

void CollectNwpProfiles(SetupContext& context, PayloadArchive& archive) {
  CollectFromArchive(archive, "*.NWP", context.nwpProfiles);
  CollectFromFolder(context.sourceFolder, "*.NWP", true, context.nwpProfiles);
}

void CollectNwkProfiles(SetupContext& context, PayloadArchive& archive) {
  CollectFromArchive(archive, "*.NWK", context.nwkProfiles);
  CollectFromFolder(context.sourceFolder, "*.NWK", false, context.nwkProfiles);
}
