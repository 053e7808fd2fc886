// AddRegValue: one string or number value under HKEY_LOCAL_MACHINE. Values stay after an
// uninstall (the Uninstall flow removes the product's key itself): nothing is recorded.
#include <windows.h>

#include <cstring>

#include "core/registry_sink.h"
#include "res/resource.h"
#include "script/context_macros.h"
#include "script/run_progress.h"
#include "script/script_actions.h"
#include "sys/setup_context.h"
#include "sys/registry_log.h"

void RunAddRegValueItem(SetupContext& context, RegValueItem& item, ComponentSet selection,
                        RunProgress& progress) {
  progress.StartItem(IDS_ACTION_INSTALLING, item.key);
  if (!Applies(item, selection)) return;

  // A field that outgrew its buffer would name another key or value: the line sets nothing.
  if (!ExpandContextMacros(context, item.key, sizeof item.key) ||
      !ExpandContextMacros(context, item.name, sizeof item.name) ||
      !ExpandContextMacros(context, item.data, sizeof item.data)) {
    return;
  }

  // "HKLM" is the only root a script line may name.
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, item.key, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS) {
    return;
  }
  LogKeyCreated(HKEY_LOCAL_MACHINE, item.key, disposition);
  if (item.type == kRegDword) {
    const DWORD value = item.dwordValue;
    if (RegSetValueExA(key, item.name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof value) == ERROR_SUCCESS) {
      LogValueSet(HKEY_LOCAL_MACHINE, item.key, item.name, REG_DWORD, &value, sizeof value);
    }
  } else if (item.type == kRegSz) {
    // The byte count follows the expanded text and leaves out the terminator.
    const DWORD size = static_cast<DWORD>(std::strlen(item.data));
    if (RegSetValueExA(key, item.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(item.data),
                       size) == ERROR_SUCCESS) {
      LogValueSet(HKEY_LOCAL_MACHINE, item.key, item.name, REG_SZ, item.data, size);
    }
  }
  RegCloseKey(key);
}
