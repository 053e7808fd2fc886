// The packer's commands. Each returns the process exit code: 0 on success; on failure it has
// written one line saying why to stderr and returns non-zero.
#pragma once

int PackCommand(const char* exePath, const char* folderPath, const char* outPath);
int ListCommand(const char* archivePath);
int ExtractCommand(const char* archivePath, const char* folderPath, int nameCount, char** names);
int VerifyCommand(const char* archivePath);

// Writes "z614pack: " and the formatted message as one line to stderr; returns 1, the exit
// code of a failed command.
#if defined(__MINGW32__)
__attribute__((format(__MINGW_PRINTF_FORMAT, 1, 2)))
#else
__attribute__((format(printf, 1, 2)))
#endif
int Fail(const char* format, ...);
