// The service control manager operations of the setup: start, stop and delete the card's
// driver services, and find out whether the system's smart card service is there. Each call
// opens and closes its own handles; nothing is shown to the user.
#pragma once

// After a start or stop request the state is read up to 6 times, 1000 ms apart.
constexpr int kServicePollWaits = 5;
constexpr unsigned kServicePollIntervalMs = 1000;

// 1 when the service runs at the end (a running service gets no start request).
int StartServiceAndWait(const char* serviceName);
// 1 when the service is stopped at the end (a stopped service gets no stop request).
int StopServiceAndWait(const char* serviceName);
// 1 when the service was stopped and then marked for deletion; one that will not stop stays.
int DeleteStoppedService(const char* serviceName);
// 1 when the service can be opened.
int ServiceExists(const char* serviceName);
// 1 when the operating system's smart card service is registered: the "ScardSvr" RunServices
// value with data on the 9x family, the "SCardSvr" service on the NT family.
int SmartCardServicePresent();
