// Test helper: writes the command line it was started with to the file named by its first
// argument, so a test can see exactly what the launcher passed. The text goes to a side file
// first and is then renamed, so the test never reads a half-written file.
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
  if (argc < 2) return 1;
  const std::string target = argv[1];
  const std::string partial = target + ".partial";
  const char* commandLine = GetCommandLineA();
  HANDLE file = CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 2;
  DWORD written = 0;
  WriteFile(file, commandLine, lstrlenA(commandLine), &written, nullptr);
  CloseHandle(file);
  return MoveFileA(partial.c_str(), target.c_str()) ? 0 : 3;
}
