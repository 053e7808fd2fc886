#include "tools/cnfcheck/report_output.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "core/registry_sink.h"
#include "tools/cnfcheck/json_text.h"

namespace {

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%02x", value);
  return text;
}

void AppendWarningsJson(std::string* out, const WarningList& warnings, const std::string& file) {
  *out += "\"warnings\": [";
  for (size_t i = 0; i < warnings.size(); ++i) {
    const CheckWarning& warning = warnings[i];
    *out += i ? ",\n  {" : "\n  {";
    *out += "\"file\": ";
    AppendJsonString(out, file);
    *out += ", \"line\": " + std::to_string(warning.line) + ", \"code\": ";
    AppendJsonString(out, warning.code);
    *out += ", \"message\": ";
    AppendJsonString(out, warning.message);
    *out += "}";
  }
  *out += warnings.empty() ? "]" : "\n]";
  const std::vector<RepeatedWarning> repeats = warnings.Repeats();
  *out += ",\n\"repeatedWarnings\": [";
  for (size_t i = 0; i < repeats.size(); ++i) {
    *out += i ? ",\n  {\"code\": " : "\n  {\"code\": ";
    AppendJsonString(out, repeats[i].code);
    *out += ", \"message\": ";
    AppendJsonString(out, repeats[i].message);
    *out += ", \"more\": " + std::to_string(repeats[i].more) + "}";
  }
  *out += repeats.empty() ? "]" : "\n]";
}

void AppendWarningsText(std::string* out, const WarningList& warnings, const std::string& file) {
  for (const CheckWarning& warning : warnings)
    *out += file + ":" + std::to_string(warning.line) + ": warning: " + warning.message + " [" + warning.code + "]\n";
  for (const RepeatedWarning& repeat : warnings.Repeats())
    *out += file + ": warning: " + std::to_string(repeat.more) + " more like this, not shown: " + repeat.message + " [" +
            repeat.code + "]\n";
}

// Texts from the checked file reach the terminal as they are, but for their control bytes
// (an escape sequence, the bell, a carriage return that overwrites the line): those are
// written as \xNN. Line feeds and tabs are the report's own.
std::string Printable(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && c != '\n' && c != '\t') || byte == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      out += escape;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

void AppendFieldsJson(std::string* out, const ItemView& view) {
  *out += "{";
  for (size_t i = 0; i < view.fields.size(); ++i) {
    const ItemField& field = view.fields[i];
    if (i) *out += ", ";
    AppendJsonString(out, field.name);
    *out += ": ";
    if (field.isNumber) *out += std::to_string(field.number);
    else AppendJsonString(out, field.text);
  }
  *out += "}";
}

}  // namespace

namespace {

// Where a script report goes: a string, or a file written in blocks as the report grows, so
// that the report of a huge script is never held whole.
class ReportOut {
 public:
  ReportOut(std::FILE* file, bool printable) : file_(file), printable_(printable) {}
  std::string& text() { return text_; }
  // Writes what has gathered once it is a block.
  void Spill() {
    if (file_ && text_.size() >= 64 * 1024) Flush();
  }
  void Flush() {
    const std::string block = printable_ ? Printable(text_) : text_;
    if (file_) std::fwrite(block.data(), 1, block.size(), file_);
    else done_ += block;
    text_.clear();
  }
  std::string Take() {
    Flush();
    return std::move(done_);
  }

 private:
  std::FILE* file_;
  bool printable_;
  std::string text_;
  std::string done_;
};

// The systems of the item, by name, when not all checked systems load it.
std::vector<const char*> SystemsOf(const CheckedItem& item, const ScriptCheckOptions& options) {
  std::vector<const char*> names;
  for (size_t i = 0; i < options.systems.size() && i < 8; ++i)
    if (item.systems & (1u << i)) names.push_back(options.systems[i].name);
  return names;
}

void WriteJson(const ScriptReport& report, const char* text, size_t size, const std::string& file,
               const ScriptCheckOptions& options, ReportOut* sink) {
  std::string& out = sink->text();
  out += "{\"items\": [";
  bool first = true;
  ForEachItemView(report, text, size, [&](const CheckedItem& item, const ItemView& view) {
    out += first ? "\n  {" : ",\n  {";
    first = false;
    out += "\"list\": ";
    AppendJsonString(&out, ItemListName(view.listIndex));
    out += ", \"line\": " + std::to_string(view.line) + ", \"fields\": ";
    AppendFieldsJson(&out, view);
    out += ", \"includeMask\": " + std::to_string(view.includeMask);
    out += ", \"excludeMask\": " + std::to_string(view.excludeMask);
    out += std::string(", \"applies\": ") + (item.applies ? "true" : "false");
    if (options.systems.size() > 1) {
      out += ", \"systems\": [";
      const std::vector<const char*> systems = SystemsOf(item, options);
      for (size_t s = 0; s < systems.size(); ++s) {
        if (s) out += ", ";
        AppendJsonString(&out, systems[s]);
      }
      out += "]";
    }
    out += "}";
    sink->Spill();
  });
  out += report.items.empty() ? "],\n" : "\n],\n";
  AppendWarningsJson(&out, report.warnings, file);
  out += "}\n";
}

void WriteText(const ScriptReport& report, const char* text, size_t size, const std::string& file,
               const ScriptCheckOptions& options, ReportOut* sink) {
  std::string& out = sink->text();
  out += file + ": loaded for";
  for (const NamedSystem& system : options.systems) out += std::string(" ") + system.name;
  out += ", components " + FormatComponentSet(options.selection) + " (" + std::to_string(options.selection) + ")\n";
  size_t list = kItemListCount;
  size_t applying = 0;
  ForEachItemView(report, text, size, [&](const CheckedItem& item, const ItemView& view) {
    if (view.listIndex != list) {
      list = view.listIndex;
      out += std::string(ItemListName(list)) + "\n";
    }
    applying += item.applies ? 1 : 0;
    out += "  " + file + ":" + std::to_string(view.line) + (item.applies ? "  runs     " : "  skipped  ");
    for (const ItemField& field : view.fields)
      out += std::string(field.name) + "=" + (field.isNumber ? std::to_string(field.number) : "\"" + field.text + "\"") + " ";
    out += "include=" + Hex(view.includeMask) + " exclude=" + Hex(view.excludeMask);
    const std::vector<const char*> systems = SystemsOf(item, options);
    if (options.systems.size() > 1 && systems.size() < options.systems.size()) {
      out += " on";
      for (const char* system : systems) out += std::string(" ") + system;
    }
    out += "\n";
    sink->Spill();
  });
  AppendWarningsText(&out, report.warnings, file);
  out += std::to_string(report.items.size()) + " items, " + std::to_string(applying) + " run for the components, " +
         std::to_string(report.warnings.Total()) + " warnings\n";
}

}  // namespace

std::string ScriptReportJson(const ScriptReport& report, const char* text, size_t size, const std::string& file,
                             const ScriptCheckOptions& options) {
  ReportOut out(nullptr, false);
  WriteJson(report, text, size, file, options, &out);
  return out.Take();
}

std::string ScriptReportText(const ScriptReport& report, const char* text, size_t size, const std::string& file,
                             const ScriptCheckOptions& options) {
  ReportOut out(nullptr, true);
  WriteText(report, text, size, file, options, &out);
  return out.Take();
}

void WriteScriptReport(const ScriptReport& report, const char* text, size_t size, const std::string& file,
                       const ScriptCheckOptions& options, bool json, std::FILE* to) {
  ReportOut out(to, !json);
  if (json) WriteJson(report, text, size, file, options, &out);
  else WriteText(report, text, size, file, options, &out);
  out.Flush();
}

std::string RegistryReportJson(const RegistryReport& report, const std::string& file) {
  std::string out = "{\"ops\": [";
  for (size_t i = 0; i < report.ops.size(); ++i) {
    const RegistryOp& op = report.ops[i];
    out += i ? ",\n  {" : "\n  {";
    out += "\"root\": ";
    AppendJsonString(&out, op.root);
    out += ", \"key\": ";
    AppendJsonString(&out, op.key);
    out += ", \"name\": ";
    AppendJsonString(&out, op.name);
    out += ", \"type\": ";
    AppendJsonString(&out, RegistryTypeName(op.type));
    out += ", \"data\": ";
    if (op.type == kRegDword) out += FormatRegistryData(op);
    else AppendJsonString(&out, FormatRegistryData(op));
    out += "}";
  }
  out += report.ops.empty() ? "],\n" : "\n],\n";
  out += "\"stoppedAtLine\": " + (report.stoppedAtLine ? std::to_string(report.stoppedAtLine) : std::string("null")) + ",\n";
  AppendWarningsJson(&out, report.warnings, file);
  out += "}\n";
  return out;
}

std::string RegistryReportText(const RegistryReport& report, const std::string& file) {
  std::string out;
  for (const RegistryOp& op : report.ops) {
    out += op.root + "\\" + op.key + "  \"" + op.name + "\"  " + RegistryTypeName(op.type) + "  " +
           FormatRegistryData(op) + "\n";
  }
  AppendWarningsText(&out, report.warnings, file);
  out += file + ": " + std::to_string(report.ops.size()) + " values, " +
         (report.stoppedAtLine ? "the import stops at line " + std::to_string(report.stoppedAtLine)
                               : std::string("read to the end")) +
         ", " + std::to_string(report.warnings.Total()) + " warnings\n";
  return Printable(out);
}
