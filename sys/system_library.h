// Loading the system's own libraries without letting a planted copy in. The setup runs from
// wherever the user saved it and then from its copy in the temporary folder: both are folders
// where another program can leave a DLL of a system library's name. Libraries that are not
// imported statically are therefore loaded by their full path in the system folder only, and
// their own dependencies are looked up beside them rather than beside the setup.
#pragma once
#include <windows.h>

// Loads fileName (for example "rasapi32.dll") from the system folder by its full path with
// LOAD_WITH_ALTERED_SEARCH_PATH. Returns the module, or nullptr when the system folder is
// unknown, the path would not fit or the library does not load; the caller frees it.
HMODULE LoadSystemLibrary(const char* fileName);

// The address of procName in module, typed as the caller's function pointer; nullptr when the
// module is null or does not export it.
template <typename Function>
Function SystemProcedure(HMODULE module, const char* procName) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, procName)));
}
