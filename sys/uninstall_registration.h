// The product's entry in the system's list of installed programs, through which the user
// starts the uninstaller.
#pragma once
#include <cstddef>

// Key of the installed-programs list under HKEY_LOCAL_MACHINE; an entry's key name follows.
constexpr char kUninstallListKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Capacity of an entry's key path: room for 255 characters.
constexpr size_t kUninstallKeySize = 256;

// Creates or opens the entry keyName and writes its "DisplayName" and "UninstallString"
// values. Returns 1 when the key could be opened and the uninstall command written.
int RegisterUninstall(const char* keyName, const char* displayName, const char* uninstallCommand);

// Deletes the entry keyName with everything below it. Returns 1 on success.
int UnregisterUninstall(const char* keyName);

// Forms the entry's key path into path (capacity bytes). Returns 0 when it would not fit.
int FormatUninstallKey(char* path, size_t capacity, const char* keyName);
