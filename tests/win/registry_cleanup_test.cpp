// The clean-ups on a registry and folders seeded with the card's traces and other makers' (and
// another product of the same maker): none of the card's are left, every other one is.
#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>
#include <shlobj.h>

#include "core/bounded_string.h"
#include "device/registry_cleanup.h"
#include "sys/globals.h"
#include "sys/os_version.h"
#include "tests/win/sys_test_support.h"

namespace {

using namespace std::string_literals;

#define CONTROL "SYSTEM\\CurrentControlSet\\Control\\"
#define CLASS(guid, n) CONTROL "Class\\{" guid "-E325-11CE-BFC1-08002BE10318}\\" n
#define READERS "SOFTWARE\\Microsoft\\Cryptography\\Calais\\Readers\\"
#define EVENT_LOG "SYSTEM\\CurrentControlSet\\Services\\Eventlog\\System\\"
#define MODEMS "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Unimodem\\DeviceSpecific\\"
#define CONNECTIONS CONTROL "Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\"
#define PORT_INTERFACE CONTROL "DeviceClasses\\{2c7089aa-2e0e-11d1-b114-00c04fc2aae4}\\##?#"
#define OEM_NAMES "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup\\SetupX\\INF\\OEM Name"
#define ASD(guid) "System\\CurrentControlSet\\Control\\ASD\\Prob\\{" guid "-11CF-97EA-00AA0034319D}"
constexpr char kTapi[] = "SOFTWARE\\Microsoft\\Ras\\Tapi Devices\\Unimodem";

// A trace of the family 'N', '9' or both ('B'): a key (value nullptr) or a string value.
struct Trace {
  char family;
  bool own;
  const char* key;
  const char* value = nullptr;
  const char* data = nullptr;
};

const Trace kTraces[] = {
    {'N', 0, READERS "XELTA Z614 0"},  // its locked subkey resists: the scan steps over it
    {'9', 1, READERS "XELTA Z614 0"},  // the 9x family's registry has no locks
    {'B', 1, READERS "XELTA Z614 1"},
    {'B', 0, READERS "Other Reader 0"},
    {'B', 0, "Software\\Xelta\\Z714"},
    {'N', 1, EVENT_LOG "Z614ndis"},
    {'N', 1, MODEMS "Xelta Z614 GSM modem::Xelta::Xelta"},
    {'N', 1, "SOFTWARE\\Microsoft\\Fax\\Devices\\1", "Device Name", "Xelta Z614 GSM modem"},
    {'N', 0, "SOFTWARE\\Microsoft\\Fax\\Devices\\2", "Device Name", "Xelta Z714 modem"},
    {'N', 1, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\7", "Description",
     "Xelta Z614 GPRS Network Adapter"},
    {'N', 1, CLASS("4D36E791", "0"), "MatchingDeviceId", "pcmcia\\xelta-z614-d9ee"},
    {'N', 1, CLASS("4D36E96D", "3"), "PortDriver", "Z614MDM.sys"},
    {'N', 1, CLASS("4D36E972", "5"), "FirmwareImage", "z614fw.bin"},
    {'N', 0, CLASS("4D36E972", "6")},
    {'N', 1, CONTROL "Class\\{50DD5230-BA8A-11D1-BF5D-0000F805F530}\\0", "InfPath", "z614SC.inf"},
    {'N', 1, CONNECTIONS "{A1}\\Connection", "PnpInstanceID", "MF\\PCMCIA#XELTA-Z614-D9EE\\0"},
    {'N', 0, CONNECTIONS "{B2}\\Connection", "PnpInstanceID", "PCI\\VEN_8086"},
    {'N', 1, PORT_INTERFACE "MF#PCMCIA#Xelta-Z614-D9EE#1"},
    {'N', 1, CONTROL "DeviceClasses\\{50dd5230-ba8a-11d1-bf5d-0000f805f530}\\##?#MF#xelta-z614_SC"},
    {'9', 1, OEM_NAMES, "C:\\WINDOWS\\INF\\OTHER\\XeltaZ614MDM.INF", "Z614MDM.INF"},
    {'9', 1, OEM_NAMES, "C:\\WINDOWS\\INF\\OTHER\\XeltaZ614.INF", "z614.inf"},
    {'9', 0, OEM_NAMES, "C:\\WINDOWS\\INF\\OTHER\\XeltaZ614.TXT", "Z614.TXT"},
    {'9', 1, ASD("CF2524C0-29AE"), "Xelta Z614 modem", ""},
    {'9', 0, ASD("CF2524C0-29AE"), "xelta other", ""},
    {'9', 1, ASD("9B4E7760-3196"), "XELTA-Z614 NIC", ""},
    {'9', 1, "Enum\\Root\\SmartCardReader\\0000", "HardwareID", "XELTA_Z614_SC"},
    {'9', 0, "Enum\\Root\\SmartCardReader\\0001", "HardwareID", "OTHER_READER"},
};

// Keys are seeded volatile: Wine's list of network cards is, and so must its children be.
bool Seed(const Trace& t) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, t.key, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return !t.value || SetMachineValue(t.key, t.value, REG_SZ, t.data, lstrlenA(t.data) + 1);
}

// Makes the key and denies everyone every access to it when locked, else grants all.
void Lock(const char* path, bool locked) {
  HKEY key = nullptr;
  PSECURITY_DESCRIPTOR dacl = nullptr;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_VOLATILE, WRITE_DAC, nullptr,
                  &key, nullptr);
  ConvertStringSecurityDescriptorToSecurityDescriptorA(
      locked ? "D:(D;;KA;;;WD)" : "D:(A;;KA;;;WD)", SDDL_REVISION_1, &dacl, nullptr);
  RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, dacl);
  LocalFree(dacl);
  RegCloseKey(key);
}

bool Present(const Trace& t) {
  return t.value ? ReadMachineValue(t.key, t.value).present : MachineKeyExists(t.key);
}

void SetTapiList(const char* value, const std::string& data) {
  SetMachineValue(kTapi, value, REG_MULTI_SZ, data.c_str(), static_cast<DWORD>(data.size() + 1));
}

TEST(RegistryCleanup, TheFamilysCleanUpTakesTheCardsTracesAndNoOneElses) {
  const char family = IsWinNT() ? 'N' : '9';
  void (*cleanUp)() = IsWinNT() ? CleanRegistryNT : CleanRegistry9x;
  for (const Trace& t : kTraces) {
    if (t.family != 'B' && t.family != family) continue;
    ASSERT_TRUE(Seed(t)) << t.key;
  }
  if (IsWinNT()) Lock(READERS "XELTA Z614 0\\locked", true);
  // The dial-up modems: the card's two among another maker's, in three parallel lists.
  SetTapiList("Friendly Name", "Xelta Z614 GSM modem\0Other 56k\0Xelta Z614 GSM modem 2\0"s);
  SetTapiList("Address", "COM5\0COM1\0COM6\0"s);
  SetTapiList("Usage", "Client\0ClientAndServer\0Client\0"s);

  cleanUp();
  for (const Trace& t : kTraces) {
    if (t.family != 'B' && t.family != family) continue;
    EXPECT_EQ(Present(t), !t.own) << t.key << " " << (t.value ? t.value : "");
  }
  if (IsWinNT()) {
    EXPECT_EQ(ReadMachineValue(kTapi, "Friendly Name").data, "Other 56k\0\0"s);
    EXPECT_EQ(ReadMachineValue(kTapi, "Usage").data, "ClientAndServer\0\0"s);
  }
  Lock(READERS "XELTA Z614 0\\locked", false);
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, READERS "XELTA Z614 0");
  // With only the card's modem listed the list goes whole; without another product under it
  // the maker's key goes too.
  SetTapiList("Friendly Name", "Xelta Z614 GSM modem\0"s);
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Xelta\\Z714");
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Xelta\\Z614");
  cleanUp();
  EXPECT_EQ(MachineKeyExists(kTapi), IsWin9x());
  EXPECT_FALSE(MachineKeyExists("Software\\Xelta"));
}

TEST(RemoveDriverFiles, TakesTheCardsFilesAndItsOwnOemInfCopiesOnly) {
  const std::string root = MakeScratchFolder("driver_files");
  const struct { bool own; const char* file; const char* text; } files[] = {
      {1, "\\system\\INF\\Z614MDM.inf", ""},
      {1, "\\system\\INF\\oem3.inf", "[Strings]\r\nDesc=\"XELTA Z614 GSM Modem\"\r\n"},
      {1, "\\system\\INF\\oem3.pnf", ""},
      {0, "\\system\\INF\\oem4.inf", "[Strings]\r\nDesc=\"Other 56k Modem\"\r\n"},
      {0, "\\system\\INF\\oem4.pnf", ""},
      {0, "\\system\\INF\\oem5.inf", "[Strings]\r\nDesc=\"Xelta Z714 Modem\"\r\n"},
      {1, "\\system\\drivers\\Z614SC.sys", ""},
      {1, "\\windows\\Applog\\Z614UI.lgc", ""},
  };
  for (const auto& f : files) {
    const std::string path = root + f.file;
    SHCreateDirectoryExA(nullptr, path.substr(0, path.rfind('\\')).c_str(), nullptr);
    ASSERT_TRUE(WriteTestFile(path, f.text)) << f.file;
  }
  const std::string system = setupContext.systemFolder, windows = setupContext.windowsFolder;
  CopyText(setupContext.systemFolder, MAX_PATH, (root + "\\system").c_str());
  CopyText(setupContext.windowsFolder, MAX_PATH, (root + "\\windows").c_str());
  EXPECT_EQ(RemoveDriverFiles(), 0);
  CopyText(setupContext.systemFolder, MAX_PATH, system.c_str());
  CopyText(setupContext.windowsFolder, MAX_PATH, windows.c_str());
  for (const auto& f : files) EXPECT_EQ(PathExists(root + f.file), !f.own) << f.file;
}

}  // namespace
