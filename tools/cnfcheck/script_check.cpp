#include "tools/cnfcheck/script_check.h"

#include <algorithm>
#include <map>
#include <memory>
#include <utility>

#include "core/script_parser.h"
#include "tools/cnfcheck/header_checks.h"
#include "tools/cnfcheck/line_checks.h"
#include "tools/cnfcheck/note_text.h"

namespace {

// Turns the loader's notes into warnings, and reads the lines of sections the checked system
// does not load into a second script, so that they are checked too.
class NoteCollector : public ScriptParseListener {
 public:
  NoteCollector(InstallScript* inactive, WarningList* warnings) : inactive_(inactive), warnings_(warnings) {}

  void OnNote(const ScriptDiagnostic& note) override {
    switch (note.note) {
      case ScriptNote::kInactiveSection:
        // The section runs elsewhere; its header is read again for its lines' masks.
        ParseSectionHeader(note.line, &inactiveSection_, nullptr);
        return;
      case ScriptNote::kInactiveLine:
        ParseDataLine(inactiveSection_, note.line, note.lineNumber, inactive_, this);
        return;
      default:
        warnings_->push_back(CheckWarning{note.lineNumber, ScriptNoteName(note.note), DescribeScriptNote(note)});
    }
  }

 private:
  InstallScript* inactive_;
  WarningList* warnings_;
  SectionHeader inactiveSection_{};
};

void CollectWarnings(const char* text, size_t size, const ScriptCheckOptions& options, WarningList* warnings) {
  auto active = std::make_unique<InstallScript>();
  auto inactive = std::make_unique<InstallScript>();
  NoteCollector notes(inactive.get(), warnings);
  ParseScriptText(text, size, options.systems.front().version, active.get(), &notes);
  CheckSectionHeaders(text, size, warnings);
  CheckItemFields(*active, options.payload, warnings);
  CheckItemFields(*inactive, options.payload, warnings);
  std::stable_sort(warnings->begin(), warnings->end(),
                   [](const CheckWarning& a, const CheckWarning& b) { return a.line < b.line; });
}

// The items each checked system loads, merged: an item loaded on several systems is listed
// once, with those systems.
void CollectItems(const char* text, size_t size, const ScriptCheckOptions& options, std::vector<CheckedItem>* items) {
  std::map<std::pair<size_t, uint32_t>, CheckedItem> merged;
  auto script = std::make_unique<InstallScript>();
  for (const NamedSystem& system : options.systems) {
    ParseScriptText(text, size, system.version, script.get(), nullptr);
    std::vector<ItemView> views;
    CollectItemViews(*script, &views);
    for (ItemView& view : views) {
      const auto key = std::make_pair(view.listIndex, view.line);
      auto found = merged.find(key);
      if (found == merged.end()) {
        const bool applies = Applies(view.includeMask, view.excludeMask, options.selection);
        found = merged.emplace(key, CheckedItem{std::move(view), applies, {}}).first;
      }
      found->second.systems.push_back(system.name);
    }
  }
  // The map's order is the run order of the lists, then the line: the script order.
  for (auto& entry : merged) items->push_back(std::move(entry.second));
}

}  // namespace

void CheckScript(const char* text, size_t size, const ScriptCheckOptions& options, ScriptReport* report) {
  report->items.clear();
  report->warnings.clear();
  if (options.systems.empty()) return;
  CollectWarnings(text, size, options, &report->warnings);
  CollectItems(text, size, options, &report->items);
}
