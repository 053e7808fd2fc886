// File times of the packer's inputs and outputs, as Windows FILETIME values (100 ns units
// since 1601-01-01 UTC), the form the archive records them in.
#pragma once
#include <cstdint>
#include <string>

// Reads the creation and last-write times of a file. On Windows both are the file's own.
// Elsewhere the creation time is the file's birth time where the file system reports one
// (statx on Linux) and its modification time otherwise. Returns 0 when the file cannot be
// examined.
int ReadFileTimes(const std::string& path, uint64_t* creationTime, uint64_t* writeTime);

// Gives an extracted file the times the setup gives it: creation time from `creationTime`
// where the platform lets it be set (Windows only), last-access and last-write time from
// `writeTime`. Returns 0 when the times could not be set.
int ApplyFileTimes(const std::string& path, uint64_t creationTime, uint64_t writeTime);
