#include "tools/cnfcheck/payload_index.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/archive_check.h"
#include "core/archive_format.h"
#include "core/bounded_string.h"

namespace fs = std::filesystem;

namespace {

// A packed executable read through the standard library, so the tool builds everywhere.
class PackedFile : public ArchiveSource {
 public:
  explicit PackedFile(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {}
  PackedFile(const PackedFile&) = delete;
  PackedFile& operator=(const PackedFile&) = delete;
  ~PackedFile() override {
    if (file_) std::fclose(file_);
  }
  bool IsOpen() const { return file_ != nullptr; }

  int GetLength(uint64_t* length) override {
    if (std::fseek(file_, 0, SEEK_END) != 0) return 0;
    const long at = std::ftell(file_);
    if (at < 0) return 0;
    *length = static_cast<uint64_t>(at);
    return 1;
  }
  int ReadAt(uint64_t offset, void* buffer, size_t size, size_t* got) override {
    *got = 0;
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) return 0;
    *got = std::fread(buffer, 1, size, file_);
    return *got == size || !std::ferror(file_);
  }

 private:
  FILE* file_;
};

}  // namespace

int PayloadIndex::Load(const std::string& path, std::string* error) {
  entries_.clear();
  byName_.clear();
  std::error_code ec;
  if (fs::is_directory(path, ec)) return LoadFolder(path, error);
  return LoadPackedFile(path, error);
}

int PayloadIndex::LoadFolder(const std::string& path, std::string* error) {
  std::error_code ec;
  fs::directory_iterator it(path, ec);
  if (ec) {
    *error = path + ": cannot list the folder: " + ec.message();
    return 0;
  }
  for (const fs::directory_entry& entry : it) {
    if (!entry.is_regular_file(ec)) continue;
    const uint64_t size = entry.file_size(ec);
    Add(entry.path().filename().string(), ec ? 0 : size);
  }
  return 1;
}

int PayloadIndex::LoadPackedFile(const std::string& path, std::string* error) {
  PackedFile file(path);
  if (!file.IsOpen()) {
    *error = path + ": cannot be opened";
    return 0;
  }
  ArchiveLayout layout;
  ReadArchive(file, &layout);
  switch (layout.result) {
    case ArchiveReadResult::kDirectory: break;
    case ArchiveReadResult::kNoArchive:
      *error = path + ": is neither a folder nor a file with a payload archive";
      return 0;
    case ArchiveReadResult::kTrailerUnreadable:
    case ArchiveReadResult::kDirectoryUnreadable:
      *error = path + ": its payload archive cannot be read";
      return 0;
  }
  // A damaged directory would make the lookups below say more than the setup could find.
  char message[512];
  if (!CheckArchiveReadable(layout, message, sizeof message)) {
    *error = path + ": " + message;
    return 0;
  }
  for (const ArchiveRecord& record : layout.directory.records) Add(record.name, record.size);
  return 1;
}

namespace {

// The setup compares names without regard to ASCII letter case.
std::string LookupKey(const char* name) {
  std::string key(name);
  for (char& c : key)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return key;
}

}  // namespace

void PayloadIndex::Add(const std::string& name, uint64_t size) {
  byName_.emplace(LookupKey(name.c_str()), entries_.size());
  entries_.push_back(PayloadEntry{name, size});
}

const PayloadEntry* PayloadIndex::Find(const char* name) const {
  const auto found = byName_.find(LookupKey(name));
  return found == byName_.end() ? nullptr : &entries_[found->second];
}

bool PayloadIndex::AnyMatches(const char* pattern) const {
  for (const PayloadEntry& entry : entries_) {
    if (MatchWildcard(entry.name.c_str(), pattern)) return true;
  }
  return false;
}
