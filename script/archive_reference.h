// Sources of script lines that name bytes in a payload archive: "archive path:entry name".
#pragma once

// Splits source at its first colon. archivePath and entryName are 260-byte buffers.
// - No colon: archivePath is empty and entryName is the whole source; returns 0.
// - A colon first: archivePath is the full path of the running executable; otherwise the text
//   ahead of the colon. entryName is the text behind the colon, possibly empty. Returns 1.
// A part longer than 259 characters is cut there; a script field holds at most 259
// characters, so only a running executable with a longer path is cut, and opening that cut
// path fails with the archive's own message.
int SplitArchiveReference(const char* source, char* archivePath, char* entryName);
