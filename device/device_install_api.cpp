#include "device/device_install_api.h"

#include "sys/system_library.h"

LoadedLibrary::LoadedLibrary(const char* fileName) : module_(LoadSystemLibrary(fileName)) {}

LoadedLibrary::~LoadedLibrary() {
  if (module_ != nullptr) FreeLibrary(module_);
}

DeviceInstallApi::DeviceInstallApi() {
  const HMODULE module = library.Module();
  GetClassDevs = SystemProcedure<decltype(GetClassDevs)>(module, "SetupDiGetClassDevsA");
  EnumDeviceInfo = SystemProcedure<decltype(EnumDeviceInfo)>(module, "SetupDiEnumDeviceInfo");
  GetDeviceInstanceId =
      SystemProcedure<decltype(GetDeviceInstanceId)>(module, "SetupDiGetDeviceInstanceIdA");
  SetClassInstallParams =
      SystemProcedure<decltype(SetClassInstallParams)>(module, "SetupDiSetClassInstallParamsA");
  CallClassInstaller =
      SystemProcedure<decltype(CallClassInstaller)>(module, "SetupDiCallClassInstaller");
  DestroyDeviceInfoList =
      SystemProcedure<decltype(DestroyDeviceInfoList)>(module, "SetupDiDestroyDeviceInfoList");
}

bool DeviceInstallApi::Bound() const {
  return GetClassDevs != nullptr && EnumDeviceInfo != nullptr && GetDeviceInstanceId != nullptr &&
         SetClassInstallParams != nullptr && CallClassInstaller != nullptr &&
         DestroyDeviceInfoList != nullptr;
}

namespace {

// procName from the configuration manager, else from setupapi.
template <typename Function>
Function FromEither(const LoadedLibrary& first, HMODULE second, const char* procName) {
  Function function = SystemProcedure<Function>(first.Module(), procName);
  return function != nullptr ? function : SystemProcedure<Function>(second, procName);
}

}  // namespace

DeviceTreeApi::DeviceTreeApi(HMODULE setupApi) {
  GetDeviceId = FromEither<decltype(GetDeviceId)>(configManager, setupApi, "CM_Get_Device_IDA");
  GetChild = FromEither<decltype(GetChild)>(configManager, setupApi, "CM_Get_Child");
}
