// A small own-process service for the service-control tests. With the argument "nostop" it
// refuses stop requests and ends by itself after 30 seconds; with "slowstop N" it accepts a
// stop but stays stop-pending for N seconds; otherwise it runs until stopped.
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

SERVICE_STATUS_HANDLE statusHandle = nullptr;
HANDLE stopEvent = nullptr;
bool acceptStop = true;
DWORD stopDelayMs = 0;

void Report(DWORD state) {
  SERVICE_STATUS status = {};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = (state == SERVICE_RUNNING && acceptStop) ? SERVICE_ACCEPT_STOP : 0;
  SetServiceStatus(statusHandle, &status);
}

DWORD WINAPI Control(DWORD control, DWORD, LPVOID, LPVOID) {
  if (control == SERVICE_CONTROL_STOP && acceptStop) {
    Report(SERVICE_STOP_PENDING);
    SetEvent(stopEvent);
    return NO_ERROR;
  }
  return control == SERVICE_CONTROL_INTERROGATE ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
}

void WINAPI ServiceMain(DWORD, LPSTR*) {
  statusHandle = RegisterServiceCtrlHandlerExA("", Control, nullptr);
  stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  Report(SERVICE_RUNNING);
  WaitForSingleObject(stopEvent, acceptStop ? INFINITE : 30000);
  Sleep(stopDelayMs);
  Report(SERVICE_STOPPED);
}

}  // namespace

int main(int argc, char** argv) {
  acceptStop = !(argc > 1 && std::strcmp(argv[1], "nostop") == 0);
  if (argc > 2 && std::strcmp(argv[1], "slowstop") == 0) stopDelayMs = std::atoi(argv[2]) * 1000u;
  char name[] = "";
  SERVICE_TABLE_ENTRYA table[] = {{name, ServiceMain}, {nullptr, nullptr}};
  return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
