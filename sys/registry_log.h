// Log lines for the registry changes of a run, naming keys and values as an administrator
// finds them in the registry editor: "HKLM\Software\Xelta\Z614|InstallFolder = REG_SZ:C:\...".
#pragma once
#include <windows.h>

void LogValueSet(HKEY root, const char* keyPath, const char* name, DWORD type, const void* data,
                 DWORD size);
void LogValueDeleted(HKEY root, const char* keyPath, const char* name);

// A key is logged as created only when RegCreateKeyExA made it (REG_CREATED_NEW_KEY), so the
// log names no key that was there before the run.
void LogKeyCreated(HKEY root, const char* keyPath, DWORD disposition);
void LogKeyDeleted(HKEY root, const char* keyPath);

// SHDeleteKeyA and SHDeleteValueA with their log lines; the result is theirs.
LONG DeleteRegistryKey(HKEY root, const char* keyPath);
LONG DeleteRegistryValue(HKEY root, const char* keyPath, const char* name);
