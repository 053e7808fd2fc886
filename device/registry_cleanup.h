// Removal of the traces the card's devices leave in the system: the registry clean-up of each
// system family, run after the devices are gone, and the driver files, removed when the
// uninstall finishes. Nothing is reported; what cannot be removed stays.
#pragma once

// NT family: start-menu order, event log sources, modem settings, the card modem's entries in
// the dial-up modem list, and the fax, smart card, network, device class and interface keys of
// the card; "Software\Xelta" when nothing of the maker is left under it.
void CleanRegistryNT();

// 9x family: start-menu order, the OEM INF names of the card's files, failed-load records, the
// smart card reader keys; "Software\Xelta" when nothing of the maker is left under it.
void CleanRegistry9x();

// Deletes the card's INF, driver and log files from the system folders, and the system's
// copies of the card's INF files among "oem*.inf". Result 0.
int RemoveDriverFiles();
