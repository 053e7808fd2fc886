// Service control against Wine's real service control manager, with a small service of the
// test's own standing in for the card's drivers.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "device/service_control.h"
#include "tests/win/wine_version.h"

namespace {

std::string HelperPath(const char* name) {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder(path);
  return folder.substr(0, folder.rfind('\\') + 1) + name;
}

// Creates a service of the given type whose program is the test service.
void CreateTestService(const char* name, DWORD type, const std::string& arguments = "") {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  ASSERT_NE(manager, nullptr);
  const std::string command = "\"" + HelperPath("test_service.exe") + "\"" + arguments;
  SC_HANDLE service = CreateServiceA(manager, name, name, SERVICE_ALL_ACCESS, type,
                                     SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, command.c_str(),
                                     nullptr, nullptr, nullptr, nullptr, nullptr);
  EXPECT_NE(service, nullptr) << GetLastError();
  if (service) CloseServiceHandle(service);
  CloseServiceHandle(manager);
}

DWORD StateOf(const char* name) {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE service = OpenServiceA(manager, name, SERVICE_QUERY_STATUS);
  SERVICE_STATUS status = {};
  if (service) QueryServiceStatus(service, &status);
  if (service) CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return status.dwCurrentState;
}

TEST(ServiceControl, MissingServiceFailsEveryOperation) {
  EXPECT_EQ(ServiceExists("Z614Missing"), 0);
  EXPECT_EQ(StartServiceAndWait("Z614Missing"), 0);
  EXPECT_EQ(StopServiceAndWait("Z614Missing"), 0);
  EXPECT_EQ(DeleteStoppedService("Z614Missing"), 0);
}

TEST(ServiceControl, StartStopAndDeleteARealService) {
  CreateTestService("Z614TestMC", SERVICE_WIN32_OWN_PROCESS);
  EXPECT_EQ(ServiceExists("Z614TestMC"), 1);
  EXPECT_EQ(StopServiceAndWait("Z614TestMC"), 1) << "a stopped service counts as stopped";
  EXPECT_EQ(StartServiceAndWait("Z614TestMC"), 1);
  EXPECT_EQ(StateOf("Z614TestMC"), static_cast<DWORD>(SERVICE_RUNNING));
  EXPECT_EQ(StartServiceAndWait("Z614TestMC"), 1) << "a running service counts as running";
  EXPECT_EQ(DeleteStoppedService("Z614TestMC"), 1) << "stopped first, then deleted";
  EXPECT_EQ(ServiceExists("Z614TestMC"), 0);
}

TEST(ServiceControl, ServiceThatWillNotStopIsKept) {
  CreateTestService("Z614TestNoStop", SERVICE_WIN32_OWN_PROCESS, " nostop");
  ASSERT_EQ(StartServiceAndWait("Z614TestNoStop"), 1);
  EXPECT_EQ(StopServiceAndWait("Z614TestNoStop"), 0);
  EXPECT_EQ(DeleteStoppedService("Z614TestNoStop"), 0);
  EXPECT_EQ(ServiceExists("Z614TestNoStop"), 1);
}

// A kernel driver cannot start here, which the setup must take as a service that did not
// start. This is the one run through the whole poll.
TEST(ServiceControl, DriverThatCannotStartReportsFailure) {
  CreateTestService("Z614TestDrv", SERVICE_KERNEL_DRIVER);
  EXPECT_EQ(StartServiceAndWait("Z614TestDrv"), 0);
  EXPECT_EQ(DeleteStoppedService("Z614TestDrv"), 1) << "a driver that never ran is stopped";
}

// An empty value is written as binary data: the 9x family stores every string with its
// terminator, whatever length it is given, so an empty string would still hold one byte.
void SetRunServicesValue(const char* data, DWORD size) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices", &key),
            ERROR_SUCCESS);
  RegSetValueExA(key, "ScardSvr", 0, size ? REG_SZ : REG_BINARY, reinterpret_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}

TEST(ServiceControl, SmartCardServiceIsFoundWhereEachFamilyRegistersIt) {
  EXPECT_EQ(SmartCardServicePresent(), 0);
  if (RunsAs9x()) {
    SetRunServicesValue("", 0);
    EXPECT_EQ(SmartCardServicePresent(), 0) << "a value without data counts as absent";
    SetRunServicesValue("SCardSvr.exe", 13);
    EXPECT_EQ(SmartCardServicePresent(), 1);
    CreateTestService("SCardSvr", SERVICE_WIN32_OWN_PROCESS);
    SetRunServicesValue("", 0);
    EXPECT_EQ(SmartCardServicePresent(), 0) << "the service itself does not count here";
  } else {
    SetRunServicesValue("SCardSvr.exe", 13);
    EXPECT_EQ(SmartCardServicePresent(), 0) << "the RunServices value does not count here";
    CreateTestService("SCardSvr", SERVICE_WIN32_OWN_PROCESS);
    EXPECT_EQ(SmartCardServicePresent(), 1);
  }
  DeleteStoppedService("SCardSvr");
}

}  // namespace
