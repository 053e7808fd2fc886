// A substitute for the system's dial-up library, for the tests only (Wine's lists no usable
// device and reports no entry size). It lists an ordinary modem and, while the simulated card
// is in, the card's GSM modem; it keeps the default phone book's entries, each record whole, in
// %SystemRoot%\system32\rasphone.pbk; its default entry size is its own record's, as the system's.
#include <windows.h>
#include <ras.h>
#include <raserror.h>
#include <shlwapi.h>

#include "tests/substitutes/simulated_card.h"

#define EXPORT extern "C" __declspec(dllexport) DWORD WINAPI

const char* PhoneBook() {
  static char path[MAX_PATH];
  return ExpandEnvironmentStringsA("%SystemRoot%\\system32\\rasphone.pbk", path, MAX_PATH), path;
}

bool Simulated(const char* value, char* text, DWORD size) {
  return SHGetValueA(HKEY_LOCAL_MACHINE, kSimulatorKey, value, nullptr, text, &size) == 0;
}

EXPORT RasEnumDevicesA(LPRASDEVINFOA devices, LPDWORD size, LPDWORD count) {
  RASDEVINFOA listed[2] = {{sizeof(RASDEVINFOA), "modem", "Standard 33600 bps Modem"}, {sizeof(RASDEVINFOA), "modem", ""}};
  *count = Simulated("GsmModem", listed[1].szDeviceName, sizeof listed[1].szDeviceName) ? 2 : 1;
  const DWORD needed = *count * sizeof(RASDEVINFOA);
  if (devices == nullptr || *size < needed) return *size = needed, ERROR_BUFFER_TOO_SMALL;
  if (devices->dwSize != sizeof(RASDEVINFOA)) return ERROR_INVALID_SIZE;
  return memcpy(devices, listed, needed), 0;
}

EXPORT RasGetEntryPropertiesA(LPCSTR, LPCSTR name, LPRASENTRYA entry, LPDWORD size, LPBYTE, LPDWORD) {
  if (entry == nullptr || *size < sizeof(RASENTRYA)) return *size = sizeof(RASENTRYA), ERROR_BUFFER_TOO_SMALL;
  return GetPrivateProfileStructA(name, "Entry", entry, sizeof *entry, PhoneBook()) ? 0 : ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
}

EXPORT RasSetEntryPropertiesA(LPCSTR, LPCSTR name, LPRASENTRYA entry, DWORD size, LPBYTE, DWORD) {
  if (entry->dwSize != sizeof(RASENTRYA) || size < sizeof(RASENTRYA)) return ERROR_INVALID_SIZE;
  RASENTRYA stored;
  memcpy(&stored, entry, sizeof stored);
  Simulated("RebindTo", stored.szDeviceName, sizeof stored.szDeviceName);  // the service's own choice
  return WritePrivateProfileStructA(name, "Entry", &stored, sizeof stored, PhoneBook()) ? 0 : ERROR_CANNOT_WRITE_PHONEBOOK;
}

EXPORT RasDeleteEntryA(LPCSTR, LPCSTR name) {
  return WritePrivateProfileStringA(name, nullptr, nullptr, PhoneBook()) ? 0 : ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
}
