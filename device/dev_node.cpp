// The 9x family's device node switch: the configuration manager locates the node of the
// instance and disables or enables it. The library is loaded for the call and freed after it.
#include "device/device_install_api.h"
#include "device/device_steps.h"
#include "sys/system_library.h"
#include "sys/setup_log.h"

namespace {

// The flags of the disable request: 1, as the card's configuration has always been disabled
// (today's SDK headers call the value 1 CM_DISABLE_ABSOLUTE and give CM_DISABLE_POLITE 0).
constexpr ULONG kDisableFlags = 1;

using SwitchDevNode = CONFIGRET(WINAPI*)(DEVINST, ULONG);

int SwitchDevNodeOf(const char* instanceId, const char* switchName, ULONG flags) {
  if (instanceId == nullptr) return 0;
  LoadedLibrary configManager("cfgmgr32.dll");
  const auto locate = SystemProcedure<CONFIGRET(WINAPI*)(PDEVINST, DEVINSTID_A, ULONG)>(
      configManager.Module(), "CM_Locate_DevNodeA");
  const auto switchNode = SystemProcedure<SwitchDevNode>(configManager.Module(), switchName);
  if (locate == nullptr || switchNode == nullptr) return 0;
  char id[kDeviceIdSize];
  lstrcpynA(id, instanceId, sizeof id);
  DEVINST node = 0;
  if (locate(&node, id, CM_LOCATE_DEVNODE_NORMAL) != CR_SUCCESS) return 0;
  const int switched = switchNode(node, flags) == CR_SUCCESS ? 1 : 0;
  LogAction("Device %s %s: %s", switchName, switched ? "done" : "failed", id);
  return switched;
}

}  // namespace

int DisableDevNode(const char* instanceId) {
  return SwitchDevNodeOf(instanceId, "CM_Disable_DevNode", kDisableFlags);
}

int EnableDevNode(const char* instanceId) {
  return SwitchDevNodeOf(instanceId, "CM_Enable_DevNode", 0);
}
