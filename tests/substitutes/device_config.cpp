// cfgmgr32.dll of the device steps' tests (Wine's fails to locate, dies on disable and enable,
// names no child): nodes live while their Enum keys do, switches are logged, children are the
// simulator's; setupapi's nodes keep its IDs. ClassInstall logs DIF_PROPERTYCHANGE, DIF_REMOVE.
#define _CFGMGR32_  // this file defines the configuration manager's functions
#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>
#include <shlwapi.h>

#include <cstdio>

#include "package/standins/standin_log.h"
#include "tests/substitutes/simulated_card.h"

namespace {

constexpr DEVINST kOwnNodes = 0x10000;  // above setupapi's node numbers
char nodes[64][MAX_DEVICE_ID_LEN];
DEVINST nodeCount = 0;

const char* IdOf(DEVINST node) {
  return node >= kOwnNodes && node < kOwnNodes + nodeCount ? nodes[node - kOwnNodes] : nullptr;
}

// The node of an ID whose enumeration key is there, else 0.
DEVINST NodeOf(const char* id) {
  char path[512];
  HKEY key = nullptr;
  snprintf(path, sizeof path, "%sEnum\\%s",
           (GetVersion() & 0x80000000u) ? "" : "SYSTEM\\CurrentControlSet\\", id);
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  RegCloseKey(key);
  for (DEVINST i = 0; i < nodeCount; ++i) {
    if (lstrcmpiA(nodes[i], id) == 0) return kOwnNodes + i;
  }
  if (nodeCount == 64) return 0;
  lstrcpynA(nodes[nodeCount], id, MAX_DEVICE_ID_LEN);
  return kOwnNodes + nodeCount++;
}

CONFIGRET Record(DEVINST node, const char* call, ULONG flags) {
  char arguments[MAX_DEVICE_ID_LEN + 16];
  if (IdOf(node) == nullptr) return CR_NO_SUCH_DEVNODE;
  snprintf(arguments, sizeof arguments, "%s %lu", IdOf(node), flags);
  AppendStandinLog("cfgmgr32.dll", call, arguments);
  return CR_SUCCESS;
}

}  // namespace

extern "C" {

__declspec(dllexport) CONFIGRET WINAPI CM_Locate_DevNodeA(PDEVINST node, DEVINSTID_A id, ULONG) {
  *node = NodeOf(id);
  return *node != 0 ? CR_SUCCESS : CR_NO_SUCH_DEVNODE;
}

__declspec(dllexport) CONFIGRET WINAPI CM_Disable_DevNode(DEVINST node, ULONG flags) {
  return Record(node, "CM_Disable_DevNode", flags);
}

__declspec(dllexport) CONFIGRET WINAPI CM_Enable_DevNode(DEVINST node, ULONG flags) {
  return Record(node, "CM_Enable_DevNode", flags);
}

__declspec(dllexport) CONFIGRET WINAPI CM_Get_Device_IDA(DEVINST node, PCHAR id, ULONG size,
                                                         ULONG flags) {
  if (IdOf(node) != nullptr) {
    lstrcpynA(id, IdOf(node), static_cast<int>(size));
    return CR_SUCCESS;
  }
  const auto setupApi = reinterpret_cast<decltype(&CM_Get_Device_IDA)>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("setupapi.dll"), "CM_Get_Device_IDA")));
  return setupApi != nullptr ? setupApi(node, id, size, flags) : CR_NO_SUCH_DEVNODE;
}

__declspec(dllexport) CONFIGRET WINAPI CM_Get_Child(PDEVINST child, DEVINST node, ULONG) {
  char parent[MAX_DEVICE_ID_LEN], children[4096] = "";
  DWORD size = sizeof children - 1;
  *child = 0;
  if (CM_Get_Device_IDA(node, parent, sizeof parent, 0) != CR_SUCCESS) return CR_INVALID_DEVNODE;
  SHGetValueA(HKEY_LOCAL_MACHINE, kSimulatorChildrenKey, parent, nullptr, children, &size);
  for (const char* id = children; *id != '\0' && *child == 0; id += lstrlenA(id) + 1) *child = NodeOf(id);
  return *child != 0 ? CR_SUCCESS : CR_NO_SUCH_DEVNODE;
}

__declspec(dllexport) DWORD WINAPI ClassInstall(DI_FUNCTION function, HDEVINFO devices,
                                                PSP_DEVINFO_DATA device) {
  char id[MAX_DEVICE_ID_LEN] = "";
  if (device != nullptr) SetupDiGetDeviceInstanceIdA(devices, device, id, sizeof id, nullptr);
  if (function == DIF_PROPERTYCHANGE || function == DIF_REMOVE) {
    AppendStandinLog("cfgmgr32.dll", function == DIF_REMOVE ? "DIF_REMOVE" : "DIF_PROPERTYCHANGE", id);
  }
  return function == DIF_PROPERTYCHANGE ? NO_ERROR : ERROR_DI_DO_DEFAULT;
}

}  // extern "C"
