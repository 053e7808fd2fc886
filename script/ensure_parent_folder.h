// The folder a file is about to be written into.
#pragma once

// Makes sure the folder of path (path without its last element) exists, creating it and any
// missing parents. Returns 1 when the folder exists afterwards; 0 when it could not be made,
// or when path names no folder at all (a bare file name, which lies in the current folder).
int EnsureParentFolder(const char* path);
