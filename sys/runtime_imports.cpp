// Run-time binding of the libraries that are not imported statically.
//
// The setup runs from wherever the user saved it (often a downloads folder) and then from its
// copy in the temporary folder; another program can leave a DLL of any name in both. The
// loaders of Windows 98 SE, ME, 2000 and XP take only a few libraries from the system folder
// whatever lies beside the executable: those on their known-DLL lists and those every process
// already has (kernel32, user32, gdi32, advapi32; see package/allowed_imports.txt). Every other
// library the setup calls (comctl32, msimg32, shlwapi, shell32, ole32, comdlg32) is linked
// through a delay-import library that the build makes with dlltool from the toolchain's own
// import library (cmake/RuntimeImports.cmake), so call sites keep the functions' ordinary names.
// The first call of such a function lands here: the library is loaded by its full path in the
// system folder with LOAD_WITH_ALTERED_SEARCH_PATH (LoadSystemLibrary), so that its own
// dependencies, comctl32's uxtheme.dll for one, are looked up beside it and not beside the
// setup; the function's address then replaces the call's import slot for good.
//
// This definition takes the place of the runtime library's helper of the same name, which
// would load the library by its bare name from the setup's own folder first. A library stays
// loaded for the life of the process, as a statically imported one does. A library or function
// that cannot be bound raises the same exception as the loader's delay-load helper; the
// allowlist keeps the setup to functions that every target system has.
#include <windows.h>
#include <delayimp.h>

#include "sys/system_library.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

template <typename T>
T* AtRva(RVA rva) {
  return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(&__ImageBase) + rva);
}

FARPROC RefuseBinding(DWORD error) {
  RaiseException(VcppException(ERROR_SEVERITY_ERROR, error), EXCEPTION_NONCONTINUABLE, 0, nullptr);
  return nullptr;
}

}  // namespace

extern "C" FARPROC WINAPI __delayLoadHelper2(PCImgDelayDescr import, FARPROC* slot) {
  // The delay-import libraries dlltool makes give every address as an offset in the image.
  if (!(import->grAttrs & dlattrRva)) return RefuseBinding(ERROR_INVALID_PARAMETER);
  HMODULE* module = AtRva<HMODULE>(import->rvaHmod);
  if (*module == nullptr) {
    HMODULE loaded = LoadSystemLibrary(AtRva<const char>(import->rvaDLLName));
    if (loaded == nullptr) return RefuseBinding(ERROR_MOD_NOT_FOUND);
    // Two threads binding at once both load it; the second reference is simply kept.
    InterlockedCompareExchangePointer(reinterpret_cast<void**>(module), loaded, nullptr);
  }
  const size_t index = reinterpret_cast<IMAGE_THUNK_DATA*>(slot) - AtRva<IMAGE_THUNK_DATA>(import->rvaIAT);
  const IMAGE_THUNK_DATA& name = AtRva<IMAGE_THUNK_DATA>(import->rvaINT)[index];
  const char* procName =
      IMAGE_SNAP_BY_ORDINAL(name.u1.Ordinal)
          ? MAKEINTRESOURCEA(IMAGE_ORDINAL(name.u1.Ordinal))
          : reinterpret_cast<const char*>(AtRva<IMAGE_IMPORT_BY_NAME>(static_cast<RVA>(name.u1.AddressOfData))->Name);
  FARPROC function = GetProcAddress(*module, procName);
  if (function == nullptr) return RefuseBinding(ERROR_PROC_NOT_FOUND);
  *slot = function;
  return function;
}
