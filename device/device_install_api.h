// The system's device installation and configuration-manager functions, bound at run time.
// setupapi.dll and cfgmgr32.dll are not on every target in the same form, so neither is
// imported: each operation loads the library it needs from the system folder, looks its
// functions up by name and frees the library before it returns. A function that is missing
// leaves its pointer null, and the operation that needs it gives up.
#pragma once
#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>

#if defined(__i386__)
// The records the system hands to setupapi in the shipping build.
static_assert(sizeof(SP_DEVINFO_DATA) == 28, "device information record of the 32-bit API");
static_assert(sizeof(SP_PROPCHANGE_PARAMS) == 20, "property change parameters of the 32-bit API");
#endif

// Buffer of a device or instance ID read back from the system: 255 characters.
constexpr DWORD kDeviceIdSize = 255;

// A library loaded by its full path in the system folder, freed when the holder goes.
class LoadedLibrary {
 public:
  explicit LoadedLibrary(const char* fileName);
  ~LoadedLibrary();
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;
  HMODULE Module() const { return module_; }

 private:
  HMODULE module_;
};

// The setupapi functions the device steps call.
struct DeviceInstallApi {
  DeviceInstallApi();
  DeviceInstallApi(const DeviceInstallApi&) = delete;
  DeviceInstallApi& operator=(const DeviceInstallApi&) = delete;

  // Whether every function below was found.
  bool Bound() const;

  LoadedLibrary library{"setupapi.dll"};
  HDEVINFO(WINAPI* GetClassDevs)(const GUID*, PCSTR, HWND, DWORD) = nullptr;
  BOOL(WINAPI* EnumDeviceInfo)(HDEVINFO, DWORD, PSP_DEVINFO_DATA) = nullptr;
  BOOL(WINAPI* GetDeviceInstanceId)(HDEVINFO, PSP_DEVINFO_DATA, PSTR, DWORD, PDWORD) = nullptr;
  BOOL(WINAPI* SetClassInstallParams)(HDEVINFO, PSP_DEVINFO_DATA, PSP_CLASSINSTALL_HEADER,
                                      DWORD) = nullptr;
  BOOL(WINAPI* CallClassInstaller)(DI_FUNCTION, HDEVINFO, PSP_DEVINFO_DATA) = nullptr;
  BOOL(WINAPI* DestroyDeviceInfoList)(HDEVINFO) = nullptr;
};

// The configuration-manager functions of the device walk: each from cfgmgr32.dll, or from
// setupapi (the caller's loaded module) when the first library does not have it.
struct DeviceTreeApi {
  explicit DeviceTreeApi(HMODULE setupApi);
  DeviceTreeApi(const DeviceTreeApi&) = delete;
  DeviceTreeApi& operator=(const DeviceTreeApi&) = delete;

  bool Bound() const { return GetDeviceId != nullptr && GetChild != nullptr; }

  LoadedLibrary configManager{"cfgmgr32.dll"};
  CONFIGRET(WINAPI* GetDeviceId)(DEVINST, PCHAR, ULONG, ULONG) = nullptr;
  CONFIGRET(WINAPI* GetChild)(PDEVINST, DEVINST, ULONG) = nullptr;
};
