#include "wizard/component_lines.h"

#include "core/bounded_string.h"
#include "res/resource.h"
#include "sys/module_instance.h"

namespace {

struct ComponentLine {
  ComponentSet bit;
  UINT name;
};
constexpr ComponentLine kLines[] = {
    {kComponentDriver, IDS_COMPONENT_DRIVER}, {kComponentUI, IDS_COMPONENT_UI},
    {kComponentAdmin, IDS_COMPONENT_ADMIN},   {kComponentHelp, IDS_COMPONENT_HELP},
    {kComponentSMS, IDS_COMPONENT_SMS},       {kComponentSC, IDS_COMPONENT_SC},
};

}  // namespace

void AppendString(char* text, size_t capacity, unsigned id) {
  char loaded[kTextBufferSize];
  LoadText(id, loaded);
  AppendText(text, capacity, loaded);
}

void AppendComponentLines(char* text, size_t capacity, ComponentSet set, bool indentAdmin) {
  for (const ComponentLine& line : kLines) {
    if (!(set & line.bit)) continue;
    AppendText(text, capacity, indentAdmin && line.bit == kComponentAdmin ? "\t     " : "\t");
    AppendString(text, capacity, line.name);
    AppendText(text, capacity, "\r\n");
  }
}

void AppendSummaryValue(char* text, size_t capacity, unsigned label, const char* value) {
  AppendString(text, capacity, label);
  AppendText(text, capacity, "\r\n\t");
  AppendText(text, capacity, value);
  AppendText(text, capacity, "\r\n\r\n");
}

void AppendSummaryComponents(char* text, size_t capacity, unsigned label, ComponentSet set,
                             bool indentAdmin) {
  AppendString(text, capacity, label);
  AppendText(text, capacity, "\r\n");
  AppendComponentLines(text, capacity, set, indentAdmin);
}
