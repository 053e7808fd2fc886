// Progress of the device steps on the owner window, in the wizard's messages.
#pragma once
#include <windows.h>

// Sends the action text (a string id such as IDS_ACTION_STOPPING) followed by the product
// name, then item progress 0. Nothing without an owner.
void ReportDeviceStep(HWND owner, UINT actionTextId);

// Sends item progress 100. Nothing without an owner.
void ReportDeviceStepDone(HWND owner);
