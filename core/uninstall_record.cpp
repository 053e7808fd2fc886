#include "core/uninstall_record.h"

#include <cstring>

#include "core/bounded_string.h"

namespace {

struct RecordTag {
  ComponentSet bit;
  const char* text;
};

// Admin comes first: the order in which records have always been written.
constexpr RecordTag kRecordTags[] = {
    {kComponentAdmin, ".Admin"}, {kComponentUI, ".UI"},   {kComponentDriver, ".Driver"},
    {kComponentHelp, ".Help"},   {kComponentSMS, ".SMS"}, {kComponentSC, ".SC"},
};

}  // namespace

size_t FormatUninstallRecord(const char* action, const char* line, ComponentSet mask, char* out,
                             size_t capacity) {
  if (!out || capacity == 0) return 0;
  int fits = CopyText(out, capacity, "[");
  fits &= AppendText(out, capacity, action);
  if (mask != kAllComponents)
    for (const RecordTag& tag : kRecordTags)
      if (mask & tag.bit) fits &= AppendText(out, capacity, tag.text);
  fits &= AppendText(out, capacity, "]\r\n");
  fits &= AppendText(out, capacity, line);
  fits &= AppendText(out, capacity, "\r\n\r\n");
  if (!fits) {
    out[0] = '\0';
    return 0;
  }
  return std::strlen(out);
}
