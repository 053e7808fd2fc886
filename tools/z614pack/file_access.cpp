#include "tools/z614pack/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

int SeekTo(FILE* file, uint64_t offset) {
#if defined(_WIN32)
  return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

int SeekEnd(FILE* file, uint64_t* length) {
#if defined(_WIN32)
  if (_fseeki64(file, 0, SEEK_END) != 0) return 0;
  const __int64 at = _ftelli64(file);
#else
  if (fseeko(file, 0, SEEK_END) != 0) return 0;
  const off_t at = ftello(file);
#endif
  if (at < 0) return 0;
  *length = static_cast<uint64_t>(at);
  return 1;
}

}  // namespace

uint64_t StoredBytes(const std::string& path) {
#if defined(_WIN32)
  DWORD high = 0;
  const DWORD low = GetCompressedFileSizeA(path.c_str(), &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return 0;
  return (static_cast<uint64_t>(high) << 32) | low;
#else
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return 0;
  return static_cast<uint64_t>(st.st_blocks) * 512u;
#endif
}

int InputFile::Open(const std::string& path) {
  Close();
  file_ = std::fopen(path.c_str(), "rb");
  if (!file_) return 0;
  // The packer reads in large chunks of its own; a stdio buffer would only add a copy.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  return 1;
}

void InputFile::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

size_t InputFile::Read(void* buffer, size_t size, bool* failed) {
  const size_t got = std::fread(buffer, 1, size, file_);
  if (got < size && std::ferror(file_)) *failed = true;
  return got;
}

int InputFile::GetLength(uint64_t* length) { return file_ && SeekEnd(file_, length); }

int InputFile::ReadAt(uint64_t offset, void* buffer, size_t size, size_t* got) {
  *got = 0;
  if (!file_) return 0;
  uint64_t length = 0;
  if (!SeekEnd(file_, &length)) return 0;
  if (offset >= length) return 1;  // past the end: nothing to read, and no error
  if (!SeekTo(file_, offset)) return 0;
  *got = std::fread(buffer, 1, size, file_);
  return *got == size || !std::ferror(file_);
}

int OutputFile::Create(const std::string& path) {
  Close();
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) return 0;
  // Unbuffered: every Write goes to the file as it is, without a copy through a stdio buffer.
  // The callers write in large chunks (data) or gathered blocks (directory records).
  std::setvbuf(file_, nullptr, _IONBF, 0);
  return 1;
}

int OutputFile::CreateNew(const std::string& path) {
  Close();
#if defined(_WIN32)
  const int fd = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd < 0) return 0;
  file_ = _fdopen(fd, "wb");
  if (!file_) _close(fd);
#else
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return 0;
  file_ = fdopen(fd, "wb");
  if (!file_) close(fd);
#endif
  if (!file_) return 0;
  std::setvbuf(file_, nullptr, _IONBF, 0);
  return 1;
}

int OutputFile::Write(const void* data, size_t size) {
  return file_ && std::fwrite(data, 1, size, file_) == size;
}

int OutputFile::Close() {
  if (!file_) return 1;
  const int flushed = std::fflush(file_) == 0;
  const int closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return flushed && closed;
}
