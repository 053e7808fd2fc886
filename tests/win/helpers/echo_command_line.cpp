// Test helper: writes the command line it was started with to the file its first argument
// names, through a side file renamed into place, so a test never reads half a line.
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
  if (argc < 2) return 1;
  const std::string partial = std::string(argv[1]) + ".partial";
  HANDLE file = CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 2;
  DWORD written = 0;
  WriteFile(file, GetCommandLineA(), lstrlenA(GetCommandLineA()), &written, nullptr);
  CloseHandle(file);
  return MoveFileA(partial.c_str(), argv[1]) ? 0 : 3;
}
