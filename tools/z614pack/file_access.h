// Files of the packer: reading at any offset, streamed writing, 64-bit offsets on every
// platform the tool is built for. Each object closes the file it opened.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/archive_format.h"

// Size of the chunks in which the packer streams file data: large enough that copying runs
// at the speed of the disk, small enough that no file is ever held in memory whole.
constexpr size_t kStreamChunkSize = 1u << 20;

// The bytes a file occupies on its disk; for a sparse file far less than its length. 0 when
// the file cannot be examined.
uint64_t StoredBytes(const std::string& path);

// A file opened for reading, usable as the source of an archive.
class InputFile : public ArchiveSource {
 public:
  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile() override { Close(); }

  int Open(const std::string& path);
  void Close();
  // Reads up to `size` bytes at the current position; returns the count, 0 at the end.
  // *failed is set on an I/O error.
  size_t Read(void* buffer, size_t size, bool* failed);

  int GetLength(uint64_t* length) override;
  int ReadAt(uint64_t offset, void* buffer, size_t size, size_t* got) override;

 private:
  FILE* file_ = nullptr;
};

// A file created (or truncated) for writing, usable as the sink of an archive.
class OutputFile : public ByteSink {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile() override { Close(); }

  int Create(const std::string& path);
  // Creates a file that must not exist yet; a link or anything else already at `path` makes
  // it fail (errno EEXIST or ELOOP) rather than be written through.
  int CreateNew(const std::string& path);
  int Write(const void* data, size_t size) override;
  // Flushes and closes; returns 0 when buffered bytes could not be written.
  int Close();

 private:
  FILE* file_ = nullptr;
};
