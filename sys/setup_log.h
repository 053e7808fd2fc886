// The setup's log: one line per action, each with its local time stamp, in a file the
// administrator names with /Log. Without an open log every call here does nothing, so the
// actions log unconditionally.
//
// The file may lie on a network share that other machines' setups append to as well, so it is
// opened shared, each line is written at the file's current end, and the file is flushed at the
// end of every step rather than after every line.
#pragma once

// Opens (creating it when missing) the log file at path for appending; a log already open is
// closed first. Returns non-zero when the file is open.
int OpenSetupLog(const char* path);

// Flushes and closes the log; later LogAction calls do nothing.
void CloseSetupLog();

// Non-zero while a log is open.
int SetupLogOpen();

// Appends one line: the time stamp, a space, and the printf-style text. The text is cut to the
// line's fixed size, and line breaks inside it become single spaces, so one action stays one
// line. Safe to call from the worker and the main thread.
void LogAction(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// The end of a step: what was written so far reaches the file's server.
void FlushSetupLog();
