// The items of a loaded script as the checker shows them: each with the name of its list and
// its fields under the names the setup gives them, in the order a run takes the lists.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/component_set.h"
#include "core/script_model.h"

constexpr size_t kItemListCount = 9;

// The list names in run order: "iniSectionItems" ... "textLineItems", then "folderItems",
// which only the uninstall runs.
const char* ItemListName(size_t listIndex);

struct ItemField {
  const char* name;
  std::string text;     // text fields as loaded (macros unexpanded)
  bool isNumber;
  int64_t number;       // number fields
};

struct ItemView {
  size_t listIndex;
  uint32_t line;
  std::vector<ItemField> fields;
  ComponentSet includeMask;
  ComponentSet excludeMask;
};

// Appends one view per item of script: list by list in run order, script order within a list.
void CollectItemViews(const InstallScript& script, std::vector<ItemView>* views);
