#include "core/script_notes.h"

const char* ScriptNoteName(ScriptNote note) {
  switch (note) {
    case ScriptNote::kNone: return "none";
    case ScriptNote::kLineCut: return "line-cut";
    case ScriptNote::kBeforeFirstSection: return "before-first-section";
    case ScriptNote::kUnknownKeyword: return "unknown-keyword";
    case ScriptNote::kKeywordRunsOn: return "keyword-runs-on";
    case ScriptNote::kHeaderNotClosed: return "header-not-closed";
    case ScriptNote::kUnknownTag: return "unknown-tag";
    case ScriptNote::kInactiveSection: return "inactive-section";
    case ScriptNote::kInactiveLine: return "inactive-line";
    case ScriptNote::kMissingField: return "missing-field";
    case ScriptNote::kEmptyField: return "empty-field";
    case ScriptNote::kApostrophe: return "apostrophe";
    case ScriptNote::kFieldTooLong: return "field-too-long";
    case ScriptNote::kTrailingTextIgnored: return "trailing-text-ignored";
    case ScriptNote::kDescriptionCut: return "description-cut";
    case ScriptNote::kUnknownRoot: return "unknown-root";
    case ScriptNote::kUnknownType: return "unknown-type";
    case ScriptNote::kNotANumber: return "not-a-number";
  }
  return "unknown";
}
