// The three fixed steps that make the card's drivers live around the install script, and the
// parts they are made of. Every flow's worker calls them with its progress page as owner (or
// none); none reports a failure: each goes on with its next action.
#pragma once
#include <windows.h>

#include "core/component_set.h"

// Closes the running product applications (remembered in setupContext.RunningApps), tells the
// control program to let go of the card, stops the card's devices and, while the card is not
// gone, asks the user to take it out (only with an owner) and stops the devices once more.
void StopCardStack(HWND owner);

// After the script: on the NT family creates and starts the management driver service; on the
// 9x family rebuilds the driver index and, with the SC component in selection, installs the
// smart card reader support.
void InstallDriverStep(ComponentSet selection);

// Installs the drivers again when the card's registration is incomplete and there is no
// owner; starts the management driver, tells the control program to take the card, with the
// Driver component in mask starts the devices and asks for the card when it is not active,
// and relaunches the applications StopCardStack closed.
void StartCardStack(HWND owner, ComponentSet mask);

// Creates the management driver service. 1 when it was created (0 also when it exists).
int CreateManagementService();

// 9x family: starts the system's driver index rebuild.
void BuildDriverIndex();

// 9x family: extracts the smart card install library, runs its entry over the reader's INF
// file and deletes the library again.
void InstallSmartCardSupport();

// 1 when at least three of the values ClassGUID, Class and Driver are found across the
// enumeration keys of the card's instances 0 to 4.
int CardRegistrationComplete();
