// Edits of installed text files, line by line through a temporary copy that then takes the
// file's place.
#pragma once
#include <cstdio>

// Lines are read in pieces of at most 254 characters; each piece keeps its line feed when it
// has one, and a longer line is read and edited as several pieces.
constexpr int kTextPieceSize = 255;

// Writes one piece of the file, edited or not, to out.
using PieceEditor = void (*)(const char* piece, FILE* out, const void* context);

// Reads path as text and writes every piece through edit into a unique temporary file of
// tempFolder whose name begins with prefix; then deletes path (with retries) and moves the
// copy to its name. Returns 1 when both succeeded. An empty path, a file that cannot be opened
// or a temporary file that cannot be made leaves the file as it was and makes no copy; when
// the delete or the move fails, the edited copy stays in the temp folder.
int RewriteTextFile(const char* tempFolder, const char* path, const char* prefix,
                    PieceEditor edit, const void* context);
