// Folder tests and creation for the target folder and every folder the install script
// names. Paths are ANSI, at most 259 characters.
#pragma once

// 1 when the extension of path (the part behind the last dot of its file name) equals
// extension (given without the dot) without regard to case; 0 for a path without extension
// or a missing argument.
int HasExtension(const char* path, const char* extension);

// 1 when path is a folder that can be entered. The test makes it the process's current
// folder for a moment and then restores the previous one.
int IsExistingFolder(const char* path);

// Creates path and every missing folder above it. Returns 1 when the folder exists
// afterwards, 0 for a missing or empty path or when a creation failed.
int CreateFolderChain(const char* path);

// Walks path from its start and creates each prefix (cut at a backslash, then the whole path)
// that is not an existing folder, stopping at the first creation that fails. firstCreated
// (MAX_PATH bytes, may be null) receives the first folder created, or the empty string when
// none was. Returns 1 when the whole path exists afterwards. A path that begins with a
// backslash fails at its first, empty, prefix.
int CreateMissingFolders(const char* path, char* firstCreated);
