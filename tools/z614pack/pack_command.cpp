// z614pack pack EXE FOLDER OUT: a copy of EXE with the archive of every regular file of
// FOLDER (not its sub-folders) appended, in ascending order of name without regard to case.
//
// Every file is read once: its CRC-32 is computed while its bytes are copied. Entry times are
// the files' own (see file_times.h). On any failure OUT is removed, so a half-written
// executable never remains.
#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "core/archive_format.h"
#include "core/bounded_string.h"
#include "core/entry_name_rules.h"
#include "tools/z614pack/commands.h"
#include "tools/z614pack/file_access.h"
#include "tools/z614pack/file_times.h"

namespace fs = std::filesystem;

namespace {

struct PayloadFile {
  std::string name;
  std::string path;
  uint64_t size = 0;
};

bool NameLess(const PayloadFile& a, const PayloadFile& b) { return CompareNoCase(a.name.c_str(), b.name.c_str()) < 0; }

// Collects the folder's regular files (links to regular files count as the files they name)
// and checks every name and size. Returns 0 after reporting the first problem.
int CollectPayload(const fs::path& folder, uint64_t exeSize, std::vector<PayloadFile>* files) {
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) return !Fail("%s: cannot list the folder: %s", folder.string().c_str(), ec.message().c_str());
  for (const fs::directory_entry& entry : it) {
    if (!entry.is_regular_file(ec)) continue;
    PayloadFile file;
    file.name = entry.path().filename().string();
    file.path = entry.path().string();
    const char* reason = nullptr;
    if (!CheckPlainFileName(file.name.c_str(), &reason)) {
      return !Fail("%s: cannot be packed: %s", file.path.c_str(), reason);
    }
    file.size = entry.file_size(ec);
    if (ec) return !Fail("%s: cannot read its size: %s", file.path.c_str(), ec.message().c_str());
    files->push_back(file);
  }
  std::sort(files->begin(), files->end(), NameLess);
  for (size_t i = 1; i < files->size(); ++i) {
    if (CompareNoCase((*files)[i - 1].name.c_str(), (*files)[i].name.c_str()) == 0) {
      return !Fail("%s: '%s' and '%s' differ only in case; the setup could not tell them apart",
                   folder.string().c_str(), (*files)[i - 1].name.c_str(), (*files)[i].name.c_str());
    }
  }
  // Every offset the archive records is a u32, the directory's offset last of all.
  uint64_t end = exeSize + kArchiveBeginBlockSize;
  for (const PayloadFile& file : *files) {
    end += file.size;
    if (end > kMaxArchiveOffset) {
      return !Fail("%s: the payload would pass the 4 GiB offset limit of the archive (at %s)", folder.string().c_str(),
                   file.name.c_str());
    }
  }
  return 1;
}

// Copies the whole of `path` into `out`; each chunk is also given to `onChunk`.
template <typename OnChunk>
int StreamFile(const std::string& path, std::vector<unsigned char>& buffer, OnChunk onChunk) {
  InputFile in;
  if (!in.Open(path)) return !Fail("%s: cannot open: %s", path.c_str(), std::strerror(errno));
  for (;;) {
    bool failed = false;
    const size_t got = in.Read(buffer.data(), buffer.size(), &failed);
    if (failed) return !Fail("%s: read error", path.c_str());
    if (got == 0) return 1;
    if (!onChunk(buffer.data(), got)) return 0;
  }
}

int WritePackedFile(const std::string& exePath, const std::vector<PayloadFile>& files, const std::string& outPath) {
  OutputFile out;
  if (!out.Create(outPath)) return !Fail("%s: cannot create: %s", outPath.c_str(), std::strerror(errno));
  std::vector<unsigned char> buffer(kStreamChunkSize);

  uint64_t exeSize = 0;
  const int copied = StreamFile(exePath, buffer, [&](const unsigned char* data, size_t size) {
    exeSize += size;
    return out.Write(data, size) ? 1 : !Fail("%s: write error", outPath.c_str());
  });
  if (!copied) return 0;

  ArchiveWriter writer(out, exeSize);
  if (!writer.Begin()) return !Fail("%s: %s", exePath.c_str(), writer.Error());
  for (const PayloadFile& file : files) {
    // A link in the folder may name the output itself, which would then be read while it
    // grows: the file's identity is compared, not its path.
    std::error_code ec;
    if (fs::equivalent(file.path, outPath, ec)) {
      return !Fail("%s: is the output file itself (through a link); it cannot be packed", file.path.c_str());
    }
    uint64_t creationTime = 0;
    uint64_t writeTime = 0;
    if (!ReadFileTimes(file.path, &creationTime, &writeTime)) {
      return !Fail("%s: cannot read its times: %s", file.path.c_str(), std::strerror(errno));
    }
    if (!writer.BeginEntry(file.name.c_str(), creationTime, writeTime)) {
      return !Fail("%s: %s", file.path.c_str(), writer.Error());
    }
    const int streamed = StreamFile(file.path, buffer, [&](const unsigned char* data, size_t size) {
      return writer.WriteEntryData(data, size) ? 1 : !Fail("%s: %s", file.path.c_str(), writer.Error());
    });
    if (!streamed || !writer.EndEntry()) return 0;
  }
  if (!writer.Finish()) return !Fail("%s: %s", outPath.c_str(), writer.Error());
  if (!out.Close()) return !Fail("%s: write error", outPath.c_str());
  return 1;
}

}  // namespace

int PackCommand(const char* exePath, const char* folderPath, const char* outPath) {
  std::error_code ec;
  const fs::path folder(folderPath);
  if (!fs::is_directory(folder, ec)) return Fail("%s: not a folder", folderPath);
  const uint64_t exeSize = fs::file_size(exePath, ec);
  if (ec || !fs::is_regular_file(exePath, ec)) return Fail("%s: not a readable file", exePath);
  if (fs::exists(outPath, ec) && fs::equivalent(exePath, outPath, ec)) {
    return Fail("%s: the output would overwrite the executable", outPath);
  }
  // An output inside the payload folder would be packed into the next build of itself.
  const fs::path outFolder = fs::weakly_canonical(fs::absolute(outPath, ec).parent_path(), ec);
  if (!ec && fs::equivalent(outFolder, folder, ec)) {
    return Fail("%s: the output must not be written into the payload folder", outPath);
  }

  std::vector<PayloadFile> files;
  if (!CollectPayload(folder, exeSize, &files)) return 1;
  if (!WritePackedFile(exePath, files, outPath)) {
    fs::remove(outPath, ec);
    return 1;
  }
  return 0;
}
