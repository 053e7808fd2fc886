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

// An item a checked system loads, held in a few bytes: its fields are read again from the
// script line when the report is written (ForEachItemView), so memory stays a small multiple of
// the script however many items it has.
struct CheckedItem {
  uint32_t line;          // the script line
  uint8_t listIndex;      // its list, in run order (ItemListName)
  uint8_t action;         // the ScriptAction of its section
  uint8_t includeMask;    // the section's component masks
  uint8_t excludeMask;
  uint8_t systems;        // bit i: options.systems[i] loads the item
  bool applies;           // the component rule for the selection
};

struct ScriptReport {
  std::vector<CheckedItem> items;  // in run order, script order within a list
  WarningList warnings;            // in line order
};

// Checks a script text (any bytes). Lines of sections that the checked systems do not load are
// checked all the same: they run on another system.
void CheckScript(const char* text, size_t size, const ScriptCheckOptions& options, ScriptReport* report);

// Calls visit(item, view) for every item of the report in its order, with the item's fields
// read again from `text`, the script the report was made from.
template <typename Visit>
void ForEachItemView(const ScriptReport& report, const char* text, size_t size, Visit visit);

// ---- implementation ----

// Reads the items of one list from their lines; walks the text once.
class ItemLineReader {
 public:
  ItemLineReader(const char* text, size_t size) : text_(text), size_(size) {}
  // The view of the item; items must come in line order.
  const ItemView& Read(const CheckedItem& item);

 private:
  const char* text_;
  size_t size_;
  size_t pos_ = 0;
  uint32_t lineNumber_ = 0;
  ItemView view_{};
};

template <typename Visit>
void ForEachItemView(const ScriptReport& report, const char* text, size_t size, Visit visit) {
  size_t i = 0;
  while (i < report.items.size()) {
    ItemLineReader reader(text, size);  // each list begins at the top of the script again
    const uint8_t list = report.items[i].listIndex;
    for (; i < report.items.size() && report.items[i].listIndex == list; ++i)
      visit(report.items[i], reader.Read(report.items[i]));
  }
}
