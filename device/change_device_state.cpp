// The NT family's device switch: the class installer of the card's instance is asked for a
// property change to the started or stopped state in the current hardware profile.
#include "core/bounded_string.h"
#include "device/device_install_api.h"
#include "device/device_steps.h"

namespace {

// The enumerator of an instance ID: the text before its first backslash.
void EnumeratorOf(const char* instanceId, char* enumerator, size_t cap) {
  CopyText(enumerator, cap, instanceId);
  for (char* c = enumerator; *c != '\0'; ++c) {
    if (*c == '\\') {
      *c = '\0';
      break;
    }
  }
}

}  // namespace

int ChangeDeviceState(const char* instanceId, DWORD state) {
  if (instanceId == nullptr) return 0;
  DeviceInstallApi api;
  if (!api.Bound()) return 0;
  char enumerator[kDeviceIdSize];
  EnumeratorOf(instanceId, enumerator, sizeof enumerator);
  const HDEVINFO devices = api.GetClassDevs(nullptr, enumerator, nullptr, DIGCF_ALLCLASSES);
  if (devices == INVALID_HANDLE_VALUE) return 0;

  int result = 0;
  SP_DEVINFO_DATA device = {};
  device.cbSize = sizeof device;
  for (DWORD index = 0; api.EnumDeviceInfo(devices, index, &device); ++index) {
    char id[kDeviceIdSize] = "";
    if (!api.GetDeviceInstanceId(devices, &device, id, kDeviceIdSize, nullptr)) continue;
    if (FindTextNoCase(id, instanceId) == nullptr) continue;
    SP_PROPCHANGE_PARAMS change = {};
    change.ClassInstallHeader.cbSize = sizeof change.ClassInstallHeader;
    change.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
    change.StateChange = state;
    change.Scope = DICS_FLAG_CONFIGSPECIFIC;
    change.HwProfile = 0;
    // Both calls are made: a class installer that was not handed the parameters still hears
    // of the change, and the change counts only when both succeed.
    const BOOL parametersSet =
        api.SetClassInstallParams(devices, &device, &change.ClassInstallHeader, sizeof change);
    const BOOL changed = api.CallClassInstaller(DIF_PROPERTYCHANGE, devices, &device);
    result = parametersSet && changed ? 1 : 0;
    break;
  }
  api.DestroyDeviceInfoList(devices);
  return result;
}
