// Deletion of files and folder trees. Files of a running product application or a scanning
// virus checker may be held open for a moment, so deletion retries before it gives up.
#pragma once

// Tries of DeleteFiles per file and the pause after each failed try: at most 5 seconds.
constexpr int kDeleteTries = 10;
constexpr unsigned kDeleteRetryDelayMs = 500;

// Deletes every file matching path (the last component may hold wildcards), clearing
// read-only, hidden and system attributes first. Returns 1 when every match was deleted, also
// when nothing matched; 0 when any file resisted all tries (the other matches are still tried).
int DeleteFiles(const char* path);

// Removes folder with every file and sub-folder below it. Whatever can be removed is removed;
// the result tells only whether the folder itself is gone.
int DeleteFolderTree(const char* folder);
