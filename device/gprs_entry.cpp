// The "GPRS" dial-up entry: created on the card's GSM modem once the remote access service
// lists it, then left alone. The dial-up library is loaded from the system folder at run time.
#include "device/gprs_entry.h"

#include <windows.h>
#include <ras.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/bounded_string.h"
#include "device/card_driver_contract.h"
#include "res/resource.h"
#include "sys/module_instance.h"
#include "sys/os_version.h"
#include "sys/system_library.h"
#include "sys/setup_log.h"

#if defined(__i386__)
static_assert(sizeof(RASDEVINFOA) == 152, "the device list holds records of 152 bytes");
static_assert(offsetof(RASDEVINFOA, szDeviceName) == 21, "the device name starts at byte 21");
#endif

namespace {

constexpr char kEntryName[] = "GPRS";

// NT family: RASEO_RemoteDefaultGateway, RASEO_DisableLcpExtensions, RASEO_ModemLights,
// RASEO_SwCompression, RASEO_UseLogonCredentials, RASEO_SecureLocalFiles, RASEO_RequirePAP,
// RASEO_RequireSPAP, RASEO_PreviewUserPw, RASEO_ShowDialingProgress, RASEO_RequireCHAP,
// RASEO_RequireMsCHAP, RASEO_RequireMsCHAP2. 9x family: the gateway, lights and compression.
constexpr DWORD kOptionsNT = 0x3D0D4330;
constexpr DWORD kOptions9x = 0x310;
static_assert(kOptions9x == (RASEO_RemoteDefaultGateway | RASEO_ModemLights | RASEO_SwCompression),
              "the 9x entry's options");
// The entry's identity, the same on every machine: {3B46C379-CDF8-40A1-BC24-1D3BF49D43F0}.
constexpr GUID kEntryGuid = {0x3B46C379, 0xCDF8, 0x40A1, {0xBC, 0x24, 0x1D, 0x3B, 0xF4, 0x9D, 0x43, 0xF0}};

using EnumDevices = DWORD(WINAPI*)(LPRASDEVINFOA, LPDWORD, LPDWORD);
using GetEntry = DWORD(WINAPI*)(LPCSTR, LPCSTR, LPRASENTRYA, LPDWORD, LPBYTE, LPDWORD);
using SetEntry = DWORD(WINAPI*)(LPCSTR, LPCSTR, LPRASENTRYA, DWORD, LPBYTE, DWORD);
using DeleteEntry = DWORD(WINAPI*)(LPCSTR, LPCSTR);

struct DialUp {
  HMODULE library;
  EnumDevices enumDevices;
  GetEntry getEntry;
  SetEntry setEntry;
  DeleteEntry deleteEntry;
};

bool LoadDialUp(DialUp* d) {
  d->library = LoadSystemLibrary("rasapi32.dll");
  d->enumDevices = SystemProcedure<EnumDevices>(d->library, "RasEnumDevicesA");
  d->getEntry = SystemProcedure<GetEntry>(d->library, "RasGetEntryPropertiesA");
  d->setEntry = SystemProcedure<SetEntry>(d->library, "RasSetEntryPropertiesA");
  d->deleteEntry = SystemProcedure<DeleteEntry>(d->library, "RasDeleteEntryA");
  return d->enumDevices && d->getEntry && d->setEntry && d->deleteEntry;
}

// Whether the remote access service lists a device named modemName (letter case aside).
bool ModemListed(const DialUp& d, const char* modemName) {
  DWORD size = 0;
  DWORD count = 0;
  d.enumDevices(nullptr, &size, &count);
  // A list without a single whole record (no devices at all) has no room for the size field.
  if (size < sizeof(RASDEVINFOA)) return false;
  RASDEVINFOA* devices = static_cast<RASDEVINFOA*>(calloc(1, size));
  if (devices == nullptr) return false;
  devices[0].dwSize = sizeof(RASDEVINFOA);
  bool found = false;
  if (d.enumDevices(devices, &size, &count) == 0) {
    const DWORD records = size / sizeof(RASDEVINFOA) < count ? size / sizeof(RASDEVINFOA) : count;
    for (DWORD i = 0; i < records && !found; ++i) {
      devices[i].szDeviceName[sizeof devices[i].szDeviceName - 1] = '\0';
      found = EqualsNoCase(devices[i].szDeviceName, modemName);
    }
  }
  free(devices);
  return found;
}

void FillEntry(RASENTRYA* entry, const char* modemName) {
  const bool nt = IsWinNT();
  entry->dwfOptions = nt ? kOptionsNT : kOptions9x;
  entry->dwCountryID = nt ? 358 : 0;
  entry->dwCountryCode = nt ? 358 : 0;
  CopyText(entry->szLocalPhoneNumber, sizeof entry->szLocalPhoneNumber, "*99#");
  entry->dwfNetProtocols = RASNP_Ip;
  entry->dwFramingProtocol = RASFP_Ppp;
  CopyText(entry->szDeviceType, sizeof entry->szDeviceType, card_driver::kGsmModemType);
  CopyText(entry->szDeviceName, sizeof entry->szDeviceName, modemName);
  if (!nt) return;  // the 9x record has no multilink, encryption or identity settings
  entry->dwSubEntries = 1;
  entry->dwDialMode = RASEDM_DialAll;
  entry->dwDialExtraPercent = 75;
  entry->dwDialExtraSampleSeconds = 120;
  entry->dwHangUpExtraPercent = 10;
  entry->dwHangUpExtraSampleSeconds = 120;
  entry->dwType = RASET_Phone;
  entry->dwEncryptionType = ET_Optional;
  entry->guidId = kEntryGuid;
}

// The entry on the listed modem: found, or written and read back on that device.
int EnsureEntry(const DialUp& d, const char* modemName) {
  DWORD reported = 0;
  d.getEntry("", "", nullptr, &reported, nullptr, nullptr);
  if (reported == 0) return 0;
  // The system's record may be shorter than this build's (the 9x family's is) or longer (a
  // later system's); the buffer has room for both, the system is told its own size.
  const DWORD room = reported > sizeof(RASENTRYA) ? reported : sizeof(RASENTRYA);
  RASENTRYA* entry = static_cast<RASENTRYA*>(calloc(1, room));
  if (entry == nullptr) return 0;
  entry->dwSize = reported;
  DWORD size = reported;
  int result = 0;
  if (d.getEntry(nullptr, kEntryName, entry, &size, nullptr, nullptr) == 0) {
    result = 1;  // an existing entry is neither read further nor changed
  } else {
    memset(entry, 0, room);
    entry->dwSize = reported;
    FillEntry(entry, modemName);
    if (d.setEntry(nullptr, kEntryName, entry, reported, nullptr, 0) == 0) {
      memset(entry, 0, room);
      entry->dwSize = reported;
      size = reported;
      if (d.getEntry(nullptr, kEntryName, entry, &size, nullptr, nullptr) == 0) {
        entry->szDeviceName[sizeof entry->szDeviceName - 1] = '\0';
        result = FindTextNoCase(entry->szDeviceName, modemName) != nullptr ? 1 : 0;
        LogAction("Dial-up entry written: %s on %s", kEntryName, entry->szDeviceName);
        // The service put the entry on another device: it is of no use to the card.
        if (result == 0 && d.deleteEntry(nullptr, kEntryName) == 0) {
          LogAction("Dial-up entry deleted: %s", kEntryName);
        }
      }
    }
  }
  free(entry);
  return result;
}

}  // namespace

int EnsureGprsEntry() {
  char model[kTextBufferSize];
  char modemName[RAS_MaxDeviceName + 1];
  LoadText(IDS_MODEL_NAME, model);
  if (snprintf(modemName, sizeof modemName, card_driver::kGsmModemName, model) >=
      static_cast<int>(sizeof modemName)) {
    return 0;
  }
  DialUp d = {};
  int result = 0;
  if (LoadDialUp(&d) && ModemListed(d, modemName)) result = EnsureEntry(d, modemName);
  if (d.library != nullptr) FreeLibrary(d.library);
  return result;
}

void DeleteGprsEntry() {
  DialUp d = {};
  if (LoadDialUp(&d) && d.deleteEntry(nullptr, kEntryName) == 0) {
    LogAction("Dial-up entry deleted: %s", kEntryName);
  }
  if (d.library != nullptr) FreeLibrary(d.library);
}
