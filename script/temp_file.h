// Unique temporary files in the setup's temp folder, for the edits that rewrite a file
// through a copy.
#pragma once

// Creates a unique empty file in tempFolder whose name begins with the first three characters
// of prefix (GetTempFileNameA) and stores its full path in path (260 bytes). Returns 1 when the
// file was created; path is then the caller's to delete.
int MakeTempFile(const char* tempFolder, const char* prefix, char* path);
