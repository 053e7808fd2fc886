// Everything by which the setup reaches the card's own drivers: device paths, service names,
// registry keys, the one status request. The drivers are not part of the setup; these names
// and numbers are the contract any driver, or any substitute for one, must honour.
// Every "%s" is the model name (string 95, "Z614").
#pragma once
#include <cstdint>

namespace card_driver {

// 9x family: the bus device opens (access 0, share 0, OPEN_ALWAYS) while the card's first
// function is present.
constexpr char kBusDevicePath[] = "\\\\.\\%sLBUS";

// 9x family: the management device (CREATE_NEW, overlapped, delete-on-close) and its status
// request: no input, a reply of ten 32-bit words.
constexpr char kManagementDevicePath[] = "\\\\.\\z614mc.vxd";
constexpr uint32_t kStatusRequest = 0x95002580u;
constexpr uint32_t kStatusReplyWords = 10;
constexpr uint32_t kStatusReplySize = kStatusReplyWords * 4;
constexpr uint32_t kReplyStatus = 0;    // 0: the request was served
constexpr uint32_t kReplyCardFlag = 1;  // non-zero: a card is present
constexpr uint32_t kReplyValue = 2;     // handed back to the caller when a card is present

// NT family: the management driver service the setup creates, starts, stops and deletes: a
// kernel driver (SERVICE_KERNEL_DRIVER) loaded at boot (SERVICE_BOOT_START).
constexpr char kManagementService[] = "%sMC";
constexpr uint32_t kManagementServiceType = 1;
constexpr uint32_t kManagementServiceStart = 0;
constexpr char kManagementDriverFile[] = "System32\\drivers\\%sMC.sys";
constexpr char kManagementServiceGroup[] = "Extended base";
constexpr char kManagementServiceDisplayName[] = "Xelta %s Management";
constexpr uint32_t kManagementServiceErrorControl = 1;  // SERVICE_ERROR_NORMAL

// NT family: the function drivers' services, stopped and deleted on removal.
constexpr char kModemService[] = "%sMDM";
constexpr char kNetworkService[] = "%sNIC";
constexpr char kSmartCardService[] = "%sSC";

// NT family: a key that opens counts as the function registered, its 4-byte "Count" above 0
// as the function active.
constexpr char kModemEnumKey[] = "SYSTEM\\CurrentControlSet\\Services\\%sMDM\\Enum";
constexpr char kNetworkEnumKey[] = "SYSTEM\\CurrentControlSet\\Services\\%sNIC\\Enum";
constexpr char kEnumCountValue[] = "Count";

// PC-card instances by device ID (string 94) and instance number 0 to 4, and the values read
// from their enumeration keys.
constexpr char kPcCardInstanceFormat[] = "PCMCIA\\%s\\%d";
constexpr int kPcCardInstanceCount = 5;
constexpr char kClassGuidValue[] = "ClassGUID";
constexpr char kClassValue[] = "Class";
constexpr char kDriverValue[] = "Driver";

// The enumeration keys of the PC-card instances under HKEY_LOCAL_MACHINE ("%s" the device
// ID, "%d" the instance number).
constexpr char kPcCardInstanceKey9x[] = "Enum\\PCMCIA\\%s\\%d";
constexpr char kPcCardInstanceKeyNT[] = "SYSTEM\\CurrentControlSet\\Enum\\PCMCIA\\%s\\%d";
// Values found across the instances for the card's registration to count as complete.
constexpr int kRegistrationValuesNeeded = 3;

// NT family: the device trees removed on uninstall ("%s" of the two PC-card trees is the
// device ID, of the legacy trees the model name).
constexpr char kLegacyManagementTree[] = "Root\\LEGACY_%sMC";
constexpr char kMultifunctionTree[] = "MF\\PCMCIA#%s\\";
constexpr char kPcCardTree[] = "PCMCIA\\%s\\";
constexpr char kLegacyControlTree[] = "Root\\LEGACY_%sCTL";

// The product's control program in the target folder, told to let go of the card before the
// drivers stop and to take it again after they start.
constexpr char kControlProgram[] = "%sCTL.exe";
constexpr char kControlRelease[] = "remove";
constexpr char kControlTake[] = "install";

// 9x family: the driver index is rebuilt by the system's setup library.
constexpr char kDriverIndexHost[] = "rundll32.exe";
constexpr char kDriverIndexCommand[] = "setupx.dll,DiBuildDriverIndex";

// 9x family: the smart card reader support, installed by the library's entry with the reader
// INF ("<Windows>\INF\" + model + "SC.INF", short form).
constexpr char kSmartCardLibrary[] = "Xescinst.dll";
constexpr char kSmartCardEntry[] = ",SmartcardInstall 9 ";
constexpr char kSmartCardInfSuffix[] = "SC.INF";
constexpr char kSmartCardHost[] = "rundll.exe";

// 9x family: the device removal library and its entry, run by "rundll" from the search path.
constexpr char kDeviceRemovalLibrary[] = "DevStop.dll";
constexpr char kDeviceRemovalEntry[] = ",DEVICE9XREMOVE";
constexpr char kDeviceRemovalHost[] = "rundll";

// 9x family: the enumeration trees of the card ("%s" the device ID, then the model) and the
// multifunction children of its functions ("%04d" the child number 0 to 99, "%s" the device ID).
constexpr char kPcCardTree9x[] = "Enum\\PCMCIA\\%s";
constexpr char kModemTree9x[] = "Enum\\MODEM\\XELTA%s";
constexpr int kNumberedKeyCount = 100;
constexpr char kMultifunctionChildKey9x[] = "Enum\\MF\\CHILD%04d\\PCMCIA&%s&0";
constexpr char kMultifunctionChildTree9x[] = "Enum\\MF\\CHILD%04d";

// 9x family: numbered class keys ("%04d") of the card's functions and how each is known: the
// named value equals, or contains, the text ("%s" in it the device ID for the multifunction
// key, else the model).
struct ClassKey9x {
  const char* keyFormat;
  const char* valueName;
  const char* textFormat;
  bool byDeviceId;
  bool contains;  // false: equals
};
constexpr ClassKey9x kClassKeys9x[] = {
    {"System\\CurrentControlSet\\Services\\Class\\Multifunction\\%04d", "MatchingDeviceId",
     "PCMCIA\\%s", true, false},
    {"System\\CurrentControlSet\\Services\\Class\\Net\\%04d", "FirmwareImage", "%sFW.BIN", false,
     false},
    {"Enum\\Root\\SmartCardReader\\%04d", "DeviceDesc", "%s", false, true},
    {"System\\CurrentControlSet\\Services\\Class\\SmartCardReader\\%04d", "DriverDesc", "%s",
     false, true},
};

// The card's GSM modem as the remote access service lists it.
constexpr char kGsmModemName[] = "Xelta %s GSM modem";
constexpr char kGsmModemType[] = "modem";

}  // namespace card_driver
