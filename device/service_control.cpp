#include "device/service_control.h"

#include <windows.h>

#include "sys/os_version.h"
#include "sys/setup_log.h"

namespace {

// One open manager and service, closed together.
class ServiceHandles {
 public:
  explicit ServiceHandles(const char* name) {
    manager_ = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (manager_) service_ = ::OpenServiceA(manager_, name, SERVICE_ALL_ACCESS);
  }
  ~ServiceHandles() {
    if (service_) CloseServiceHandle(service_);
    if (manager_) CloseServiceHandle(manager_);
  }
  ServiceHandles(const ServiceHandles&) = delete;
  ServiceHandles& operator=(const ServiceHandles&) = delete;

  bool IsOpen() const { return service_ != nullptr; }
  SC_HANDLE Handle() const { return service_; }

 private:
  SC_HANDLE manager_ = nullptr;
  SC_HANDLE service_ = nullptr;
};

enum class Request { Start, Stop };

// Reads the service's current state into *state; leaves it as it was when the read fails.
bool ReadState(SC_HANDLE service, DWORD* state) {
  SERVICE_STATUS status = {};
  if (!QueryServiceStatus(service, &status)) return false;
  *state = status.dwCurrentState;
  return true;
}

// Brings the service to the target state: no request when it is there already, else the
// request and a poll of at most kServicePollWaits waits. Once a request has been decided on,
// a failed status read no longer ends the operation by itself: the state last read (0 when
// that read failed) stands, and the poll, which ends at a failed read, decides.
int DriveServiceTo(const char* name, DWORD target, Request request) {
  ServiceHandles service(name);
  if (!service.IsOpen()) return 0;
  DWORD state = 0;
  if (!ReadState(service.Handle(), &state)) return 0;
  if (state == target) return 1;

  if (!ReadState(service.Handle(), &state)) state = 0;
  if (request == Request::Start) {
    if (!StartServiceA(service.Handle(), 0, nullptr)) return 0;
  } else {  // the stop request's status record receives the service's answer
    SERVICE_STATUS answer = {};
    if (!ControlService(service.Handle(), SERVICE_CONTROL_STOP, &answer)) return 0;
    state = answer.dwCurrentState;
  }

  for (int waits = 0; ReadState(service.Handle(), &state); ++waits) {
    if (state == target || waits == kServicePollWaits) break;
    Sleep(kServicePollIntervalMs);
  }
  return state == target ? 1 : 0;
}

}  // namespace

int StartServiceAndWait(const char* serviceName) {
  if (!ServiceExists(serviceName)) return 0;
  const int started = DriveServiceTo(serviceName, SERVICE_RUNNING, Request::Start);
  LogAction(started ? "Service running: %s" : "Service not started: %s", serviceName);
  return started;
}

int StopServiceAndWait(const char* serviceName) {
  if (!ServiceExists(serviceName)) return 0;
  const int stopped = DriveServiceTo(serviceName, SERVICE_STOPPED, Request::Stop);
  LogAction(stopped ? "Service stopped: %s" : "Service not stopped: %s", serviceName);
  return stopped;
}

int DeleteStoppedService(const char* serviceName) {
  ServiceHandles service(serviceName);
  if (!service.IsOpen()) return 0;
  if (StopServiceAndWait(serviceName) != 1) return 0;
  if (!DeleteService(service.Handle())) return 0;
  LogAction("Service deleted: %s", serviceName);
  return 1;
}

int ServiceExists(const char* serviceName) {
  return ServiceHandles(serviceName).IsOpen() ? 1 : 0;
}

int SmartCardServicePresent() {
  if (IsWin9x()) {
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices",
                    &key) != ERROR_SUCCESS) {
      return 0;
    }
    DWORD size = 0;
    const bool present =
        RegQueryValueExA(key, "ScardSvr", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS && size != 0;
    RegCloseKey(key);
    return present ? 1 : 0;
  }
  if (IsWinNT()) return ServiceExists("SCardSvr");
  return 0;
}
