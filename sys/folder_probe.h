// Probes of a folder the user chose as the target, made before anything is installed there.
// Neither probe leaves anything behind: folders it had to create are removed again.
#pragma once

// Prefix of the probe file that CanWriteToFolder creates (GetTempFileNameA uses the first
// three characters).
constexpr char kProbeFilePrefix[] = "936529853846";

// 2 when path already is a folder; 1 when it could be created (what was created is removed
// again); 0 otherwise, also for a missing or empty path.
int CanCreateFolder(const char* path);

// 1 when a file could be created and written in the folder path (created for the test when
// missing); 0 otherwise.
int CanWriteToFolder(const char* path);
