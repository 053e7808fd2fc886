// z614pack: appends the payload archive to the setup executable, and lists, extracts and
// verifies the archive of any packed file.
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>

#include "tools/z614pack/commands.h"

namespace {

const char kUsage[] =
    "usage: z614pack pack EXE FOLDER OUT       append every file of FOLDER to a copy of EXE\n"
    "       z614pack list FILE                 one line per entry: name, size, CRC-32, offset\n"
    "       z614pack extract FILE FOLDER [ENTRY...]  write all or the named entries into FOLDER\n"
    "       z614pack verify FILE               check the archive's structure and every CRC-32\n";

int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

int Run(int argc, char** argv) {
  if (argc < 2) return Usage();
  const char* command = argv[1];
  if (std::strcmp(command, "pack") == 0 && argc == 5) return PackCommand(argv[2], argv[3], argv[4]);
  if (std::strcmp(command, "list") == 0 && argc == 3) return ListCommand(argv[2]);
  if (std::strcmp(command, "extract") == 0 && argc >= 4) return ExtractCommand(argv[2], argv[3], argc - 4, argv + 4);
  if (std::strcmp(command, "verify") == 0 && argc == 3) return VerifyCommand(argv[2]);
  return Usage();
}

}  // namespace

int Fail(const char* format, ...) {
  char message[2048];
  va_list args;
  va_start(args, format);
  std::vsnprintf(message, sizeof message, format, args);
  va_end(args);
  // Names and paths from a foreign archive must not reach the terminal as control bytes
  // (an escape sequence, the bell): those are written as \xNN, as list writes them.
  std::fputs("z614pack: ", stderr);
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(message); *p; ++p) {
    if (*p < 0x20 || *p == 0x7F) {
      std::fprintf(stderr, "\\x%02X", *p);
    } else {
      std::fputc(*p, stderr);
    }
  }
  std::fputc('\n', stderr);
  return 1;
}

int main(int argc, char** argv) {
  // The commands report their own failures; these catch what the standard library throws
  // (memory exhausted, a file-system error without an error_code overload).
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    return Fail("out of memory");
  } catch (const std::exception& e) {
    return Fail("%s", e.what());
  }
}
