// Removal of a device tree on the NT family: every device under the ID's enumerator whose ID
// contains the given ID is removed by its class installer, with recursive set after its
// children.
//
// The child walk is bounded. The card's tree is two levels deep (the PC card and its
// functions below it), so a walk never needs more than kMaxChildDepth levels of children or
// more than kMaxChildrenPerDevice children of one device. Within those bounds the walk of one
// device also ends at the first child that
//   - cannot be named (its ID does not read),
//   - is the device itself, or
//   - is the child just taken again: it was not removed, and taking it once more would not
//     remove it either.
// So a configuration manager that keeps answering with a child that does not go (Wine's
// answers success and the same node for every device) costs one pass, not an endless loop.
#include "core/bounded_string.h"
#include "device/device_install_api.h"
#include "device/device_steps.h"
#include "sys/setup_log.h"

namespace {

constexpr int kMaxChildDepth = 4;
constexpr int kMaxChildrenPerDevice = 8;

// The enumerator of a device ID: the ID cut at its last backslash after the first character;
// empty when there is none.
void EnumeratorOf(const char* deviceId, char* enumerator, size_t cap) {
  CopyText(enumerator, cap, deviceId);
  char* cut = nullptr;
  for (char* c = enumerator + (enumerator[0] != '\0' ? 1 : 0); *c != '\0'; ++c) {
    if (*c == '\\') cut = c;
  }
  if (cut != nullptr) {
    *cut = '\0';
  } else {
    enumerator[0] = '\0';
  }
}

void RemoveTree(const char* deviceId, int recursive, int depth);

// Removes the children of node (whose own ID is id) one by one, first child first.
void RemoveChildren(const DeviceTreeApi& tree, DEVINST node, const char* id, int depth) {
  char previous[kDeviceIdSize] = "";
  for (int taken = 0; taken < kMaxChildrenPerDevice; ++taken) {
    DEVINST child = 0;
    if (tree.GetChild(&child, node, 0) != CR_SUCCESS) return;
    char childId[kDeviceIdSize] = "";
    if (tree.GetDeviceId(child, childId, kDeviceIdSize, 0) != CR_SUCCESS) return;
    if (EqualsNoCase(childId, id) || EqualsNoCase(childId, previous)) return;
    RemoveTree(childId, 1, depth + 1);
    CopyText(previous, sizeof previous, childId);
  }
}

void RemoveTree(const char* deviceId, int recursive, int depth) {
  if (deviceId == nullptr || deviceId[0] == '\0') return;
  DeviceInstallApi api;
  DeviceTreeApi tree(api.library.Module());
  if (!api.Bound() || !tree.Bound()) return;
  char enumerator[kDeviceIdSize];
  EnumeratorOf(deviceId, enumerator, sizeof enumerator);
  const HDEVINFO devices = api.GetClassDevs(nullptr, enumerator, nullptr, DIGCF_ALLCLASSES);
  if (devices == INVALID_HANDLE_VALUE) return;

  SP_DEVINFO_DATA device = {};
  device.cbSize = sizeof device;
  for (DWORD index = 0; api.EnumDeviceInfo(devices, index, &device); ++index) {
    char id[kDeviceIdSize] = "";
    if (tree.GetDeviceId(device.DevInst, id, kDeviceIdSize, 0) != CR_SUCCESS) break;
    if (FindTextNoCase(id, deviceId) == nullptr) continue;
    if (recursive && depth < kMaxChildDepth) RemoveChildren(tree, device.DevInst, id, depth);
    const BOOL removed = api.CallClassInstaller(DIF_REMOVE, devices, &device);
    LogAction(removed ? "Device removed: %s" : "Device not removed: %s", id);
  }
  api.DestroyDeviceInfoList(devices);
}

}  // namespace

void RemoveDeviceTree(const char* deviceId, int recursive) { RemoveTree(deviceId, recursive, 0); }
