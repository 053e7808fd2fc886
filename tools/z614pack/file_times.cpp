#include "tools/z614pack/file_times.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <ctime>
#endif

namespace {

#if defined(_WIN32)

uint64_t FromFiletime(const FILETIME& t) {
  return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

FILETIME ToFiletime(uint64_t value) {
  FILETIME t;
  t.dwLowDateTime = static_cast<DWORD>(value);
  t.dwHighDateTime = static_cast<DWORD>(value >> 32);
  return t;
}

#else

// 100-ns intervals between 1601-01-01 and 1970-01-01 UTC.
constexpr uint64_t kUnixEpochAsFiletime = 116444736000000000ull;
constexpr uint64_t kTicksPerSecond = 10000000ull;

uint64_t FromUnix(int64_t seconds, int64_t nanoseconds) {
  constexpr int64_t kLimit = 900000000000;  // about 28,500 years: keeps the product in range
  if (seconds > kLimit) seconds = kLimit;
  if (seconds < -kLimit) seconds = -kLimit;
  const int64_t ticks = seconds * static_cast<int64_t>(kTicksPerSecond) + nanoseconds / 100;
  if (ticks < -static_cast<int64_t>(kUnixEpochAsFiletime)) return 0;  // before 1601: the earliest FILETIME
  return kUnixEpochAsFiletime + static_cast<uint64_t>(ticks);
}

timespec ToUnix(uint64_t filetime) {
  timespec t;
  if (filetime >= kUnixEpochAsFiletime) {
    const uint64_t ticks = filetime - kUnixEpochAsFiletime;
    t.tv_sec = static_cast<time_t>(ticks / kTicksPerSecond);
    t.tv_nsec = static_cast<long>((ticks % kTicksPerSecond) * 100);
  } else {  // before 1970: whole seconds back, then the fraction forward
    const uint64_t ticks = kUnixEpochAsFiletime - filetime;
    const uint64_t seconds = (ticks + kTicksPerSecond - 1) / kTicksPerSecond;
    t.tv_sec = -static_cast<time_t>(seconds);
    t.tv_nsec = static_cast<long>((seconds * kTicksPerSecond - ticks) * 100);
  }
  return t;
}

#endif

}  // namespace

#if defined(_WIN32)

int ReadFileTimes(const std::string& path, uint64_t* creationTime, uint64_t* writeTime) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  *creationTime = FromFiletime(data.ftCreationTime);
  *writeTime = FromFiletime(data.ftLastWriteTime);
  return 1;
}

int ApplyFileTimes(const std::string& path, uint64_t creationTime, uint64_t writeTime) {
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  const FILETIME creation = ToFiletime(creationTime);
  const FILETIME write = ToFiletime(writeTime);
  const BOOL applied = SetFileTime(file, &creation, &write, &write);
  CloseHandle(file);
  return applied != FALSE;
}

#else

int ReadFileTimes(const std::string& path, uint64_t* creationTime, uint64_t* writeTime) {
#if defined(STATX_BTIME)
  struct statx sx;
  if (statx(AT_FDCWD, path.c_str(), 0, STATX_MTIME | STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_MTIME)) {
    *writeTime = FromUnix(sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec);
    *creationTime = (sx.stx_mask & STATX_BTIME) ? FromUnix(sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec) : *writeTime;
    return 1;
  }
#endif
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return 0;
  *writeTime = FromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
  *creationTime = *writeTime;
  return 1;
}

int ApplyFileTimes(const std::string& path, uint64_t /*creationTime*/, uint64_t writeTime) {
  const timespec times[2] = {ToUnix(writeTime), ToUnix(writeTime)};
  // Not through a link: the file is the one the extractor has just made.
  return utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

#endif
