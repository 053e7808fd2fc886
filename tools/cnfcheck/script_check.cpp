#include "tools/cnfcheck/script_check.h"

#include <algorithm>
#include <memory>

#include "core/script_line.h"
#include "core/script_parser.h"
#include "tools/cnfcheck/header_checks.h"
#include "tools/cnfcheck/line_checks.h"
#include "tools/cnfcheck/note_text.h"
#include "tools/cnfcheck/zero_byte_check.h"

namespace {

// The action of the section an item's list is read from, in list order; the text-line list
// is read from two actions, told apart by the item's "enable" field.
constexpr ScriptAction kListActions[kItemListCount] = {
    ScriptAction::kReplaceIniSection, ScriptAction::kAddRegFile,   ScriptAction::kAddRegValue,
    ScriptAction::kUpdateFile,        ScriptAction::kAppendFile,   ScriptAction::kAddFile,
    ScriptAction::kAddShellLink,      ScriptAction::kEnableTextLine, ScriptAction::kAddFolder,
};

ScriptAction ActionOf(const ItemView& view) {
  for (const ItemField& field : view.fields)
    if (field.isNumber && std::string(field.name) == "enable" && field.number == 0) return ScriptAction::kDisableTextLine;
  return kListActions[view.listIndex];
}

bool ByLine(const CheckedItem& a, const CheckedItem& b) { return a.line < b.line; }

// Follows one load of the script for one system. Items are taken out of the script as soon as
// they are read and kept in a few bytes each, so memory follows the script's size, not the
// setup's fixed-size item buffers. The first load (warnings given) also turns the loader's
// notes into warnings, checks every item's fields, and reads the lines of sections that
// system does not load, so that they are checked too.
class ScriptPass : public ScriptParseListener {
 public:
  ScriptPass(const ScriptCheckOptions& options, size_t systemIndex, std::vector<CheckedItem>* items,
             WarningList* warnings)
      : options_(options), systemBit_(static_cast<uint8_t>(1u << systemIndex)), items_(items), warnings_(warnings) {}

  void OnNote(const ScriptDiagnostic& note) override {
    if (!warnings_) return;
    switch (note.note) {
      case ScriptNote::kInactiveSection:
        // The section runs elsewhere; its header is read again for its lines' masks.
        ParseSectionHeader(note.line, &inactiveSection_, nullptr);
        return;
      case ScriptNote::kInactiveLine:
        if (ParseDataLine(inactiveSection_, note.line, note.lineNumber, &inactive_, this)) {
          CheckItemFields(inactive_, options_.payload, warnings_);
          inactive_.Clear();
        }
        return;
      default:
        warnings_->push_back(CheckWarning{note.lineNumber, ScriptNoteName(note.note), DescribeScriptNote(note)});
    }
  }

  void OnItem(InstallScript& script) override {
    if (warnings_) CheckItemFields(script, options_.payload, warnings_);
    views_.clear();
    CollectItemViews(script, &views_);
    script.Clear();
    for (const ItemView& view : views_) {
      // Items come in line order; one loaded by an earlier system is already listed.
      while (cursor_ < firstPassEnd_ && (*items_)[cursor_].line < view.line) ++cursor_;
      if (cursor_ < firstPassEnd_ && (*items_)[cursor_].line == view.line) {
        (*items_)[cursor_].systems |= systemBit_;
        continue;
      }
      items_->push_back(CheckedItem{view.line, static_cast<uint8_t>(view.listIndex),
                                    static_cast<uint8_t>(ActionOf(view)), static_cast<uint8_t>(view.includeMask),
                                    static_cast<uint8_t>(view.excludeMask), systemBit_,
                                    Applies(view.includeMask, view.excludeMask, options_.selection)});
    }
  }

  // Puts the items this pass added among the earlier ones, in line order.
  void Finish() {
    std::inplace_merge(items_->begin(), items_->begin() + static_cast<std::ptrdiff_t>(firstPassEnd_), items_->end(),
                       ByLine);
  }

 private:
  const ScriptCheckOptions& options_;
  uint8_t systemBit_;
  std::vector<CheckedItem>* items_;
  WarningList* warnings_;  // null on the passes that only collect items
  size_t firstPassEnd_ = items_->size();
  size_t cursor_ = 0;
  InstallScript inactive_;
  SectionHeader inactiveSection_{};
  std::vector<ItemView> views_;
};

}  // namespace

void CheckScript(const char* text, size_t size, const ScriptCheckOptions& options, ScriptReport* report) {
  report->items.clear();
  report->warnings.clear();
  if (options.systems.empty()) return;
  // An item loaded on several systems is listed once, with those systems.
  auto script = std::make_unique<InstallScript>();
  for (size_t i = 0; i < options.systems.size() && i < 8; ++i) {
    ScriptPass pass(options, i, &report->items, i == 0 ? &report->warnings : nullptr);
    ParseScriptText(text, size, options.systems[i].version, script.get(), &pass);
    pass.Finish();
  }
  // The run order of the lists, then the script order.
  std::stable_sort(report->items.begin(), report->items.end(),
                   [](const CheckedItem& a, const CheckedItem& b) { return a.listIndex < b.listIndex; });
  CheckSectionHeaders(text, size, &report->warnings);
  CheckZeroBytes(text, size, &report->warnings);
  std::stable_sort(report->warnings.begin(), report->warnings.end(),
                   [](const CheckWarning& a, const CheckWarning& b) { return a.line < b.line; });
}

const ItemView& ItemLineReader::Read(const CheckedItem& item) {
  // Lines in front of the item's are stepped over without a copy; one CR and then one LF end
  // a line, as in the loader.
  while (lineNumber_ + 1 < item.line && pos_ < size_) {
    while (pos_ < size_ && text_[pos_] != '\r' && text_[pos_] != '\n') ++pos_;
    if (pos_ < size_ && text_[pos_] == '\r') ++pos_;
    if (pos_ < size_ && text_[pos_] == '\n') ++pos_;
    ++lineNumber_;
  }
  char line[kScriptLineSize];
  line[0] = '\0';
  if (ReadScriptLine(text_, size_, &pos_, line, sizeof line, nullptr)) ++lineNumber_;
  const SectionHeader section{static_cast<ScriptAction>(item.action), item.includeMask, item.excludeMask, 0, 0};
  InstallScript script;
  ParseDataLine(section, line, item.line, &script, nullptr);
  std::vector<ItemView> views;
  CollectItemViews(script, &views);
  view_ = views.empty() ? ItemView{item.listIndex, item.line, {}, item.includeMask, item.excludeMask} : views[0];
  return view_;
}
