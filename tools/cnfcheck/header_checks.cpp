#include "tools/cnfcheck/header_checks.h"

#include <string>
#include <vector>

#include "core/script_header.h"
#include "core/script_line.h"
#include "tools/cnfcheck/check_options.h"

namespace {

void CheckHeader(const SectionHeader& header, uint32_t line, const std::vector<NamedSystem>& systems,
                 WarningList* warnings) {
  bool loaded = false;
  for (const NamedSystem& system : systems) loaded = loaded || SectionIsActive(header, system.version);
  if (!loaded)
    warnings->push_back(CheckWarning{line, "never-loaded",
                                     "no system the setup runs on fits the section's system tags: its lines are never read"});

  const ComponentSet both = header.includeMask & header.excludeMask;
  for (ComponentSet bit = 1; bit <= kAllComponents; bit <<= 1) {
    if (!(both & bit)) continue;
    warnings->push_back(CheckWarning{line, "tag-both-ways",
                                     std::string("the section names ") + ComponentTagName(bit) +
                                         " both plainly and negated: its lines run only when no component is selected"});
  }
}

}  // namespace

void CheckSectionHeaders(const char* text, size_t size, WarningList* warnings) {
  std::vector<NamedSystem> systems;
  ParseSystemName("all", &systems);
  char line[kScriptLineSize];
  size_t pos = 0;
  uint32_t lineNumber = 0;
  int wasCut = 0;
  // The loader takes every line that begins with "[" and a keyword as a header, whatever
  // section it stands in; so does this walk.
  while (ReadScriptLine(text, size, &pos, line, sizeof line, &wasCut)) {
    ++lineNumber;
    SectionHeader header{};
    if (line[0] == '[' && ParseSectionHeader(line, &header, nullptr)) CheckHeader(header, lineNumber, systems, warnings);
  }
}
