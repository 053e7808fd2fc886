// The clean-ups against the prefix's real registry and files, seeded with the card's traces and
// with other makers' (and another product of the same maker): afterwards none of the card's
// traces are left and every other one is as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/bounded_string.h"
#include "device/registry_cleanup.h"
#include "sys/globals.h"
#include "sys/os_version.h"
#include "tests/win/sys_test_support.h"

namespace {

using namespace std::string_literals;

constexpr char kClass[] = "SYSTEM\\CurrentControlSet\\Control\\Class\\";
constexpr char kDeviceClasses[] = "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\";
constexpr char kNetwork[] =
    "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";
constexpr char kEventLog[] = "SYSTEM\\CurrentControlSet\\Services\\Eventlog\\System\\";
constexpr char kMenuOrder[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu\\Programs\\";
constexpr char kReaders[] = "SOFTWARE\\Microsoft\\Cryptography\\Calais\\Readers\\";
constexpr char kOemNames[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup\\SetupX\\INF\\OEM Name";
constexpr char kAsd[] = "System\\CurrentControlSet\\Control\\ASD\\Prob\\";
constexpr char kTapi[] = "SOFTWARE\\Microsoft\\Ras\\Tapi Devices\\Unimodem";

// One trace: a key (value nullptr) or a string value; the card's own go, the others stay.
struct Trace {
  bool own;
  std::string key;
  const char* value;
  const char* data;
  HKEY root = HKEY_LOCAL_MACHINE;
};

const std::vector<Trace> kNtTraces = {
    {true, std::string(kMenuOrder) + "Xelta", nullptr, nullptr, HKEY_CURRENT_USER},
    {false, std::string(kMenuOrder) + "Other Maker", nullptr, nullptr, HKEY_CURRENT_USER},
    {true, std::string(kEventLog) + "Z614ndis", nullptr, nullptr},
    {true, std::string(kEventLog) + "Z614NIC", nullptr, nullptr},
    {true, std::string(kEventLog) + "Z614SC", nullptr, nullptr},
    {false, std::string(kEventLog) + "E100B", nullptr, nullptr},
    {true, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Unimodem\\DeviceSpecific\\"
           "Xelta Z614 GSM modem::Xelta::Xelta", nullptr, nullptr},
    {false, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Unimodem\\DeviceSpecific\\"
            "Other 56k::Other::Other", nullptr, nullptr},
    {true, "SOFTWARE\\Microsoft\\Fax\\Devices\\1", "Device Name", "Xelta Z614 GSM modem"},
    {false, "SOFTWARE\\Microsoft\\Fax\\Devices\\2", "Device Name", "Other 56k Fax"},
    {false, "SOFTWARE\\Microsoft\\Fax\\Devices\\3", "Device Name", "Xelta Z714 modem"},
    {true, std::string(kReaders) + "XELTA Z614 0", nullptr, nullptr},
    {false, std::string(kReaders) + "Other Reader 0", nullptr, nullptr},
    {true, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\7", "Description",
     "Xelta Z614 GPRS Network Adapter"},
    {false, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\8", "Description",
     "Other Ethernet"},
    {true, std::string(kClass) + "{4D36E791-E325-11CE-BFC1-08002BE10318}\\0000",
     "MatchingDeviceId", "pcmcia\\xelta-z614-d9ee"},
    {false, std::string(kClass) + "{4D36E791-E325-11CE-BFC1-08002BE10318}\\0001",
     "MatchingDeviceId", "pcmcia\\other-card-1234"},
    {true, std::string(kClass) + "{4D36E96D-E325-11CE-BFC1-08002BE10318}\\0003", "PortDriver",
     "Z614MDM.sys"},
    {false, std::string(kClass) + "{4D36E96D-E325-11CE-BFC1-08002BE10318}\\0004", "PortDriver",
     "modem.sys"},
    {true, std::string(kClass) + "{4D36E972-E325-11CE-BFC1-08002BE10318}\\0005",
     "FirmwareImage", "z614fw.bin"},
    {false, std::string(kClass) + "{4D36E972-E325-11CE-BFC1-08002BE10318}\\0006", nullptr, nullptr},
    {true, std::string(kClass) + "{50DD5230-BA8A-11D1-BF5D-0000F805F530}\\0000", "InfPath",
     "Z614SC.INF"},
    {false, std::string(kClass) + "{50DD5230-BA8A-11D1-BF5D-0000F805F530}\\0001", "InfPath",
     "oem7.inf"},
    {true, std::string(kNetwork) + "{A1}\\Connection", "PnpInstanceID",
     "MF\\PCMCIA#XELTA-Z614-D9EE\\0"},
    {false, std::string(kNetwork) + "{B2}\\Connection", "PnpInstanceID", "PCI\\VEN_8086"},
    {true, std::string(kDeviceClasses) + "{2c7089aa-2e0e-11d1-b114-00c04fc2aae4}\\"
           "##?#MF#PCMCIA#Xelta-Z614-D9EE#1", nullptr, nullptr},
    {false, std::string(kDeviceClasses) + "{2c7089aa-2e0e-11d1-b114-00c04fc2aae4}\\"
            "##?#PCI#VEN_8086#3", nullptr, nullptr},
    {true, std::string(kDeviceClasses) + "{50dd5230-ba8a-11d1-bf5d-0000f805f530}\\"
           "##?#MF#xelta-z614_SC#2", nullptr, nullptr},
    {false, std::string(kDeviceClasses) + "{50dd5230-ba8a-11d1-bf5d-0000f805f530}\\"
            "##?#USB#Other_Reader#4", nullptr, nullptr},
    {false, "Software\\Xelta\\Z714", nullptr, nullptr},
};

const std::vector<Trace> k9xTraces = {
    {true, std::string(kMenuOrder) + "Xelta", nullptr, nullptr, HKEY_CURRENT_USER},
    {false, std::string(kMenuOrder) + "Other Maker", nullptr, nullptr, HKEY_CURRENT_USER},
    {true, kOemNames, "C:\\WINDOWS\\INF\\OTHER\\XeltaZ614MDM.INF", "Z614MDM.INF"},
    {true, kOemNames, "C:\\WINDOWS\\INF\\OTHER\\XeltaZ614.INF", "z614.inf"},
    {false, kOemNames, "C:\\WINDOWS\\INF\\OTHER\\XeltaZ614.TXT", "Z614.TXT"},
    {false, kOemNames, "C:\\WINDOWS\\INF\\OTHER\\OtherNet.INF", "NET.INF"},
    {true, std::string(kAsd) + "{CF2524C0-29AE-11CF-97EA-00AA0034319D}", "Xelta Z614 modem", ""},
    {false, std::string(kAsd) + "{CF2524C0-29AE-11CF-97EA-00AA0034319D}", "xelta other", ""},
    {false, std::string(kAsd) + "{CF2524C0-29AE-11CF-97EA-00AA0034319D}", "Other Z614", ""},
    {true, std::string(kAsd) + "{9B4E7760-3196-11CF-97EA-00AA0034319D}", "XELTA-Z614 NIC", ""},
    {true, std::string(kReaders) + "XELTA Z614 0", nullptr, nullptr},
    {false, std::string(kReaders) + "Other Reader 0", nullptr, nullptr},
    {true, "Enum\\Root\\SmartCardReader\\0000", "HardwareID", "XELTA_Z614_SC"},
    {false, "Enum\\Root\\SmartCardReader\\0001", "HardwareID", "OTHER_READER"},
    {false, "Software\\Xelta\\Z714", nullptr, nullptr},
};

bool Seed(const Trace& t) {
  HKEY key = nullptr;
  // Wine lists the host's network cards under a volatile key, whose children must be too.
  for (DWORD options : {REG_OPTION_NON_VOLATILE, REG_OPTION_VOLATILE}) {
    if (!key) {
      RegCreateKeyExA(t.root, t.key.c_str(), 0, nullptr, options, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr);
    }
  }
  if (!key) return false;
  const bool ok = t.value == nullptr ||
                  RegSetValueExA(key, t.value, 0, REG_SZ, reinterpret_cast<const BYTE*>(t.data),
                                 lstrlenA(t.data) + 1) == ERROR_SUCCESS;
  RegCloseKey(key);
  return ok;
}

bool Present(const Trace& t) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(t.root, t.key.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  const bool present =
      t.value == nullptr || RegQueryValueExA(key, t.value, nullptr, nullptr, nullptr, nullptr) == 0;
  RegCloseKey(key);
  return present;
}

std::string MultiString(const char* value) {
  const RegistryValue read = ReadMachineValue(kTapi, value);
  return read.type == REG_MULTI_SZ ? read.data : "(missing)";
}

void SetMultiString(const char* value, const std::string& data) {
  SetMachineValue(kTapi, value, REG_MULTI_SZ, data.c_str(), static_cast<DWORD>(data.size() + 1));
}

TEST(RegistryCleanup, TheFamilysCleanUpTakesTheCardsTracesAndNoOneElses) {
  const bool nt = IsWinNT();
  const std::vector<Trace>& traces = nt ? kNtTraces : k9xTraces;
  for (const Trace& t : traces) ASSERT_TRUE(Seed(t)) << t.key;
  // The dial-up modem list: the card's two modems among another maker's, in parallel lists.
  if (nt) {
    SetMultiString("Friendly Name", "Xelta Z614 GSM modem\0Other 56k\0Xelta Z614 GSM modem 2\0"s);
    SetMultiString("Address", "COM5\0COM1\0COM6\0"s);
    SetMultiString("Usage", "Client\0ClientAndServer\0Client\0"s);
  }

  (nt ? CleanRegistryNT : CleanRegistry9x)();
  for (const Trace& t : traces) {
    EXPECT_EQ(Present(t), !t.own) << t.key << " " << (t.value ? t.value : "");
  }
  EXPECT_TRUE(MachineKeyExists("Software\\Xelta"));
  if (nt) {
    EXPECT_EQ(MultiString("Friendly Name"), "Other 56k\0\0"s);
    EXPECT_EQ(MultiString("Address"), "COM1\0\0"s);
    EXPECT_EQ(MultiString("Usage"), "ClientAndServer\0\0"s);
    // With only the card's modem listed, the list goes whole.
    SetMultiString("Friendly Name", "Xelta Z614 GSM modem\0"s);
    CleanRegistryNT();
    EXPECT_FALSE(MachineKeyExists(kTapi));
  }
  // Without another product under it, the maker's key goes too.
  for (const char* product : {"Software\\Xelta\\Z714", "Software\\Xelta\\Z614"}) {
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, product);
  }
  (nt ? CleanRegistryNT : CleanRegistry9x)();
  EXPECT_FALSE(MachineKeyExists("Software\\Xelta"));
}

TEST(RemoveDriverFiles, TakesTheCardsFilesAndItsOwnOemInfCopiesOnly) {
  const std::string root = MakeScratchFolder("driver_files");
  for (const char* folder : {"\\system", "\\system\\INF", "\\system\\drivers", "\\windows",
                             "\\windows\\Applog"}) {
    CreateDirectoryA((root + folder).c_str(), nullptr);
  }
  const struct {
    bool own;
    const char* file;
    const char* text;
  } files[] = {
      {true, "\\system\\INF\\Z614MDM.inf", "x"},
      {true, "\\system\\INF\\oem3.inf", "[Strings]\r\nDesc=\"XELTA Z614 GSM Modem\"\r\n"},
      {true, "\\system\\INF\\oem3.pnf", "x"},
      {false, "\\system\\INF\\oem4.inf", "[Strings]\r\nDesc=\"Other 56k Modem\"\r\n"},
      {false, "\\system\\INF\\oem4.pnf", "x"},
      {false, "\\system\\INF\\oem5.inf", "[Strings]\r\nDesc=\"Xelta Z714 Modem\"\r\n"},
      {false, "\\system\\INF\\mdmxelta.inf", "Xelta Z614"},
      {true, "\\system\\drivers\\Z614SC.sys", "x"},
      {false, "\\system\\drivers\\null.sys", "x"},
      {true, "\\windows\\Applog\\Z614UI.lgc", "x"},
      {false, "\\windows\\Applog\\OTHER.lgc", "x"},
  };
  for (const auto& f : files) ASSERT_TRUE(WriteTestFile(root + f.file, f.text)) << f.file;
  char system[MAX_PATH], windows[MAX_PATH];
  CopyText(system, sizeof system, setupContext.systemFolder);
  CopyText(windows, sizeof windows, setupContext.windowsFolder);
  CopyText(setupContext.systemFolder, MAX_PATH, (root + "\\system").c_str());
  CopyText(setupContext.windowsFolder, MAX_PATH, (root + "\\windows").c_str());
  EXPECT_EQ(RemoveDriverFiles(), 0);
  CopyText(setupContext.systemFolder, MAX_PATH, system);
  CopyText(setupContext.windowsFolder, MAX_PATH, windows);
  for (const auto& f : files) EXPECT_EQ(PathExists(root + f.file), !f.own) << f.file;
}

}  // namespace
