// The installation record: the target folder and the installed components of the product,
// kept under the product's own registry key. Together with the entry in the installed-programs
// list it tells start-up whether to install or to offer maintenance.
#pragma once
#include "core/component_set.h"

// Key of the record under HKEY_LOCAL_MACHINE; %s is the model name (string IDS_MODEL_NAME).
constexpr char kInstallationKeyFormat[] = "Software\\Xelta\\%s\\Installation";

// Each operation opens the record's key with RegCreateKeyExA, so the readers create the empty
// key too where it did not exist.

// Stores path as "TargetFolder". Returns 1 when written, else 0.
int WriteTargetFolder(const char* path);

// Reads "TargetFolder" into folder (MAX_PATH bytes). folder is emptied first, so it is empty
// after a failure. A stored value without terminating zero reads as the characters stored.
// Returns 1 when the value was read, else 0.
int ReadTargetFolder(char* folder);

// Stores components as "InstalledComponents". Returns 1 when written, else 0.
int WriteInstalledComponents(ComponentSet components);

// The stored components, or kAllComponents when the key or the value cannot be read: a record
// that does not say otherwise has every component installed.
ComponentSet ReadInstalledComponents();

// Non-zero when the product counts as installed: both its installed-programs entry (for the
// product name, string IDS_PRODUCT_NAME) and a non-empty "TargetFolder" exist.
int IsProductInstalled();
