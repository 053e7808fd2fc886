#include "tools/cnfcheck/check_options.h"

#include <cstdlib>
#include <cstring>

#include "core/bounded_string.h"
#include "core/command_line.h"
#include "core/script_header.h"
#include "core/setup_switches.h"
#include "tools/cnfcheck/payload_index.h"

namespace {

// The version facts of each system. On the 9x family the build's high word repeats the
// version (0x040A for 4.10) and its low word is the build: 2222 for 98 SE, 3000 for ME.
constexpr NamedSystem kSystems[] = {
    {"win98se", {kPlatformWin9x, 4, 10, 0x040A08AEu}},
    {"winme", {kPlatformWin9x, 4, 90, 0x045A0BB8u}},
    {"win2k", {kPlatformWinNT, 5, 0, 2195}},
    {"winxp", {kPlatformWinNT, 5, 1, 2600}},
};

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

int ParseNumber(const char* text, ComponentSet* set, std::string* reason) {
  char* end = nullptr;
  const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const unsigned long value = std::strtoul(hex ? text + 2 : text, &end, hex ? 16 : 10);
  if (end == (hex ? text + 2 : text) || *end != '\0') {
    *reason = std::string("not a number: \"") + text + "\"";
    return 0;
  }
  if (value > kAllComponents) {
    *reason = std::string("\"") + text + "\" names bits that no component has (at most 63)";
    return 0;
  }
  *set = static_cast<ComponentSet>(value);
  return 1;
}

}  // namespace

int ParseSystemName(const char* text, std::vector<NamedSystem>* systems) {
  systems->clear();
  for (const NamedSystem& system : kSystems) {
    if (EqualsNoCase(text, "all") || EqualsNoCase(text, system.name)) systems->push_back(system);
  }
  return systems->empty() ? 0 : 1;
}

int ParseComponentSet(const char* text, ComponentSet* set, std::string* reason) {
  if (text[0] >= '0' && text[0] <= '9') return ParseNumber(text, set, reason);
  ComponentSet result = 0;
  std::string rest = text;
  while (!rest.empty()) {
    const size_t cut = rest.find_first_of(",+");
    const std::string tag = Trim(rest.substr(0, cut));
    rest = cut == std::string::npos ? "" : rest.substr(cut + 1);
    ComponentSet bit = 0;
    for (ComponentSet candidate = 1; candidate <= kAllComponents; candidate <<= 1) {
      if (EqualsNoCase(tag.c_str(), ComponentTagName(candidate))) bit = candidate;
    }
    if (bit == 0) {
      *reason = "\"" + tag + "\" is no component (UI, Admin, Driver, Help, SMS, SC)";
      return 0;
    }
    result |= bit;
  }
  *set = result;
  return 1;
}

std::string FormatComponentSet(ComponentSet set) {
  std::string text;
  for (ComponentSet bit = 1; bit <= kAllComponents; bit <<= 1) {
    if (!(set & bit)) continue;
    if (!text.empty()) text += ",";
    text += ComponentTagName(bit);
  }
  return text.empty() ? "none" : text;
}

int ParseInstallSwitches(const char* text, ComponentSet* set, std::string* reason) {
  CommandLine line;
  line.Parse(text, 0);
  SetupSwitches switches;
  const int read = ReadSetupSwitches(line, &switches);
  const std::string name = std::string("/") + switches.faultSwitch;
  const std::string value = std::string("\"") + switches.faultValue + "\"";
  if (!read) {
    switch (switches.fault) {
      case SwitchFault::kMissingValue: *reason = name + " needs a value"; break;
      case SwitchFault::kUnknownType: *reason = value + " is no setup type: /Type takes Typical, Custom or Administrator"; break;
      case SwitchFault::kUnknownComponent: *reason = value + " is no component: /Components takes UI, Admin, Driver, Help, SMS and SC, separated by commas"; break;
      case SwitchFault::kUnknownUpdate: *reason = value + " cannot be updated: /Update takes Components, Profiles or Both"; break;
      case SwitchFault::kFolderNotFull: *reason = value + " is no full folder path"; break;
      case SwitchFault::kConflict: *reason = name + " and /" + switches.faultValue + " cannot be used together"; break;
      case SwitchFault::kNone: *reason = "the setup refuses these switches"; break;
    }
    return 0;
  }
  if (switches.update || switches.uninstall) {
    *reason = "the switches ask for maintenance, not for an install";
    return 0;
  }
  *set = switches.components != 0 ? switches.components : ComponentsOfSetupType(kSetupTypical);
  return 1;
}

const char* ComponentNotOffered(ComponentSet set, const PayloadIndex& payload) {
  if ((set & kComponentAdmin) && !payload.AnyMatches(kAdminModuleEntry)) return "Admin";
  if ((set & kComponentSC) && !payload.AnyMatches(kSmartCardEntries)) return "SC";
  return nullptr;
}
