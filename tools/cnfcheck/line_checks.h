// Checks of loaded items that the loader itself cannot make: macros that will not expand as
// written, sources that will not be read where their author meant, and archive entries that
// the payload does not hold.
#pragma once
#include "core/script_model.h"
#include "tools/cnfcheck/check_warning.h"
#include "tools/cnfcheck/payload_index.h"

// Checks every item of script (all nine lists). payload may be null: entries are then not
// looked up.
void CheckItemFields(const InstallScript& script, const PayloadIndex* payload, WarningList* warnings);
