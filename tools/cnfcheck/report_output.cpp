#include "tools/cnfcheck/report_output.h"

#include <cstdio>

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
}

void AppendWarningsText(std::string* out, const WarningList& warnings, const std::string& file) {
  for (const CheckWarning& warning : warnings)
    *out += file + ":" + std::to_string(warning.line) + ": warning: " + warning.message + " [" + warning.code + "]\n";
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

std::string ScriptReportJson(const ScriptReport& report, const std::string& file, bool withSystems) {
  std::string out = "{\"items\": [";
  for (size_t i = 0; i < report.items.size(); ++i) {
    const CheckedItem& item = report.items[i];
    out += i ? ",\n  {" : "\n  {";
    out += "\"list\": ";
    AppendJsonString(&out, ItemListName(item.view.listIndex));
    out += ", \"line\": " + std::to_string(item.view.line) + ", \"fields\": ";
    AppendFieldsJson(&out, item.view);
    out += ", \"includeMask\": " + std::to_string(item.view.includeMask);
    out += ", \"excludeMask\": " + std::to_string(item.view.excludeMask);
    out += std::string(", \"applies\": ") + (item.applies ? "true" : "false");
    if (withSystems) {
      out += ", \"systems\": [";
      for (size_t s = 0; s < item.systems.size(); ++s) {
        if (s) out += ", ";
        AppendJsonString(&out, item.systems[s]);
      }
      out += "]";
    }
    out += "}";
  }
  out += report.items.empty() ? "],\n" : "\n],\n";
  AppendWarningsJson(&out, report.warnings, file);
  out += "}\n";
  return out;
}

std::string ScriptReportText(const ScriptReport& report, const std::string& file,
                             const ScriptCheckOptions& options) {
  std::string out = file + ": loaded for";
  for (const NamedSystem& system : options.systems) out += std::string(" ") + system.name;
  out += ", components " + FormatComponentSet(options.selection) + " (" + std::to_string(options.selection) + ")\n";
  size_t list = kItemListCount;
  size_t applying = 0;
  for (const CheckedItem& item : report.items) {
    if (item.view.listIndex != list) {
      list = item.view.listIndex;
      out += std::string(ItemListName(list)) + "\n";
    }
    applying += item.applies ? 1 : 0;
    out += "  " + file + ":" + std::to_string(item.view.line) + (item.applies ? "  runs     " : "  skipped  ");
    for (const ItemField& field : item.view.fields)
      out += std::string(field.name) + "=" + (field.isNumber ? std::to_string(field.number) : "\"" + field.text + "\"") + " ";
    out += "include=" + Hex(item.view.includeMask) + " exclude=" + Hex(item.view.excludeMask);
    if (options.systems.size() > 1 && item.systems.size() < options.systems.size()) {
      out += " on";
      for (const char* system : item.systems) out += std::string(" ") + system;
    }
    out += "\n";
  }
  AppendWarningsText(&out, report.warnings, file);
  out += std::to_string(report.items.size()) + " items, " + std::to_string(applying) + " run for the components, " +
         std::to_string(report.warnings.size()) + " warnings\n";
  return out;
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
         ", " + std::to_string(report.warnings.size()) + " warnings\n";
  return out;
}
