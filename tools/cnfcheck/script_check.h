// The script checker: reads an install script exactly as the setup's loader does, for the
// chosen systems and components, and lists the items a run would take together with a warning
// for every line the setup would silently drop or read differently from how it looks.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "core/component_set.h"
#include "tools/cnfcheck/check_options.h"
#include "tools/cnfcheck/check_warning.h"
#include "tools/cnfcheck/item_view.h"
#include "tools/cnfcheck/payload_index.h"

struct ScriptCheckOptions {
  std::vector<NamedSystem> systems;  // one system, or all four
  ComponentSet selection;
  const PayloadIndex* payload;       // null: archive entries are not looked up
};

struct CheckedItem {
  ItemView view;
  bool applies;                      // the component rule for the selection
  std::vector<const char*> systems;  // the checked systems that load the item
};

struct ScriptReport {
  std::vector<CheckedItem> items;  // in run order, script order within a list
  WarningList warnings;            // in line order
};

// Checks a script text (any bytes). Lines of sections that the checked systems do not load are
// checked all the same: they run on another system.
void CheckScript(const char* text, size_t size, const ScriptCheckOptions& options, ScriptReport* report);
