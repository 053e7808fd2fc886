// Stopping, starting and removing the card's devices. The card is a PC card whose functions
// the system enumerates under the bus "PCMCIA" with the card's device ID (string 94): the 9x
// family reaches its device nodes through the configuration manager, the NT family through the
// class installer of the device installation functions. Nothing is shown to the user; with an
// owner window the stop, start and removal report their progress to it.
#pragma once
#include <windows.h>

// Stops the first of the instances "PCMCIA\<device ID>\0" to "\4" that can be stopped; on the
// NT family then stops the management driver. 1 when an instance was stopped.
int StopDevices(HWND owner);

// On the NT family starts the management driver; then starts the first of the instances that
// can be started. 1 when an instance was started.
int StartDevices(HWND owner);

// NT family: asks the class installer of the first device under the ID's enumerator whose
// instance ID contains instanceId (letter case ignored) to change its state to DICS_START or
// DICS_STOP. Non-zero on success.
int ChangeDeviceState(const char* instanceId, DWORD state);

// 9x family: disables (politely) or enables the device node of instanceId. 1 on success.
int DisableDevNode(const char* instanceId);
int EnableDevNode(const char* instanceId);

// NT family: removes every device under the ID's enumerator whose ID contains deviceId
// (letter case ignored), with recursive set its children first.
void RemoveDeviceTree(const char* deviceId, int recursive);

// Removes the card's devices, driver services and registry traces on either family.
void RemoveDevices(HWND owner);

// 9x family: runs the device removal library, then deletes the card's enumeration keys and
// the class keys of its functions.
void Remove9xDevices();

// The whole removal: the card stack stopped, the devices removed, the "GPRS" entry deleted.
void RemoveCardStack(HWND owner);
