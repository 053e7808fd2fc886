// Commands scheduled for the next logon, kept as values of the system's RunOnce key under
// HKEY_LOCAL_MACHINE: the deletion of the setup's temporary copy.
#pragma once

// Writes command as the string value valueName of the RunOnce key, creating the key when
// needed. Returns 1 when written; 0 when either argument is missing or empty or the key cannot
// be opened.
int SetRunOnce(const char* valueName, const char* command);

// Deletes the value valueName of the RunOnce key. Returns 1 when it was deleted; 0 otherwise,
// also for a missing name.
int DeleteRunOnce(const char* valueName);
