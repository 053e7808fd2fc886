#include "tools/z614pack/file_placement.h"

#include <cerrno>
#include <cstdio>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

Destination ExamineDestination(const std::string& path) {
#if defined(_WIN32)
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Destination::kAbsent;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return Destination::kLink;
  if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) return Destination::kNotRegular;
  return Destination::kRegularFile;
#else
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return Destination::kAbsent;
  if (S_ISLNK(st.st_mode)) return Destination::kLink;
  return S_ISREG(st.st_mode) ? Destination::kRegularFile : Destination::kNotRegular;
#endif
}

const char* DestinationRefusal(Destination kind) {
  switch (kind) {
    case Destination::kLink:
      return "a link stands at the file's place; it could lead the write out of the folder";
    case Destination::kNotRegular:
      return "a folder, pipe or device stands at the file's place";
    case Destination::kAbsent:
    case Destination::kRegularFile:
      break;
  }
  return nullptr;
}

int CreateTemporaryFile(const std::string& folder, OutputFile* file, std::string* path) {
#if defined(_WIN32)
  const unsigned long process = GetCurrentProcessId();
#else
  const unsigned long process = static_cast<unsigned long>(getpid());
#endif
  static unsigned long counter = 0;
  // A name taken by another file (left by an earlier run, or an entry of that name) is
  // passed over; anything else is a real failure.
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[64];
    std::snprintf(name, sizeof name, ".z614pack-%lu-%lu.tmp", process, counter++);
    *path = folder + "/" + name;
    if (file->CreateNew(*path)) return 1;
    if (errno != EEXIST) return 0;
  }
  return 0;
}

int PlaceFile(const std::string& from, const std::string& to) {
#if defined(_WIN32)
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}
