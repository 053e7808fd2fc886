#include "core/setup_switches.h"

#include <cstring>

#include "core/bounded_string.h"
#include "core/script_header.h"

namespace {

struct NamedValue {
  const char* name;
  uint32_t value;
};

constexpr NamedValue kSetupTypes[] = {
    {"Typical", kSetupTypical}, {"Custom", kSetupCustom}, {"Administrator", kSetupAdministrator}};

// What /Update updates: bit 1 the components, bit 2 the profiles.
constexpr NamedValue kUpdateChoices[] = {{"Components", 1}, {"Profiles", 2}, {"Both", 3}};

int Refuse(SetupSwitches* out, SwitchFault fault, const char* name, const char* value) {
  out->fault = fault;
  CopyText(out->faultSwitch, sizeof out->faultSwitch, name);
  CopyText(out->faultValue, sizeof out->faultValue, value);
  return 0;
}

// The value of a switch that takes one. 1: read into value; 0: the switch is absent; -1: it is
// present without a value (last, or followed by another switch).
int ReadValue(const CommandLine& line, const char* name, char* value, size_t size) {
  if (line.FindSwitch(name) < 0) return 0;
  return line.GetSwitchValue(name, 1, value, size, "") ? 1 : -1;
}

bool FindNamed(const NamedValue* table, size_t count, const char* name, uint32_t* value) {
  for (size_t i = 0; i < count; ++i) {
    if (EqualsNoCase(table[i].name, name)) {
      *value = table[i].value;
      return true;
    }
  }
  return false;
}

// The tags of a comma-separated list, blanks around each tag ignored. Returns 1 with the set,
// or 0 with the first tag that names no component in `bad` (an empty tag included).
int ReadComponentList(const char* list, ComponentSet* set, char* bad, size_t badSize) {
  ComponentSet result = 0;
  const char* p = list;
  for (;;) {
    const char* end = std::strchr(p, ',');
    const size_t length = end ? static_cast<size_t>(end - p) : std::strlen(p);
    char tag[64] = "";
    size_t first = 0, last = length;
    while (first < last && (p[first] == ' ' || p[first] == '\t')) ++first;
    while (last > first && (p[last - 1] == ' ' || p[last - 1] == '\t')) --last;
    const size_t tagLength = last - first < sizeof tag - 1 ? last - first : sizeof tag - 1;
    std::memcpy(tag, p + first, tagLength);
    tag[tagLength] = '\0';
    ComponentSet bit = 0;
    for (ComponentSet candidate = 1; candidate <= kAllComponents; candidate <<= 1) {
      if (EqualsNoCase(tag, ComponentTagName(candidate))) bit = candidate;
    }
    // A tag cut to the buffer is no tag either: no component name is that long.
    if (bit == 0 || tagLength < last - first) {
      CopyText(bad, badSize, tag);
      return 0;
    }
    result |= bit;
    if (!end) break;
    p = end + 1;
  }
  *set = result;
  return 1;
}

int ReadInstallChoices(const CommandLine& line, SetupSwitches* out) {
  char value[CommandLine::kTokenBufferSize];
  int found = ReadValue(line, "Folder", out->targetFolder, sizeof out->targetFolder);
  if (found < 0) return Refuse(out, SwitchFault::kMissingValue, "Folder", "");
  // The command line keeps 255 characters of an argument: a longer folder would be cut into
  // another one, so a folder of that length is refused rather than trusted.
  if (found > 0 && (!IsFullPath(out->targetFolder) ||
                    std::strlen(out->targetFolder) >= CommandLine::kTokenBufferSize - 1)) {
    return Refuse(out, SwitchFault::kFolderNotFull, "Folder", out->targetFolder);
  }

  found = ReadValue(line, "Type", value, sizeof value);
  if (found < 0) return Refuse(out, SwitchFault::kMissingValue, "Type", "");
  if (found > 0) {
    if (!FindNamed(kSetupTypes, sizeof kSetupTypes / sizeof kSetupTypes[0], value, &out->setupType)) {
      return Refuse(out, SwitchFault::kUnknownType, "Type", value);
    }
    out->components = ComponentsOfSetupType(out->setupType);
  }

  found = ReadValue(line, "Components", value, sizeof value);
  if (found < 0) return Refuse(out, SwitchFault::kMissingValue, "Components", "");
  if (found > 0) {
    // A list is what Custom's check boxes choose; Typical and Administrator choose for themselves.
    if (out->setupType != 0 && out->setupType != kSetupCustom) {
      return Refuse(out, SwitchFault::kConflict, "Components", "Type");
    }
    ComponentSet listed = 0;
    char bad[64];
    if (!ReadComponentList(value, &listed, bad, sizeof bad)) {
      return Refuse(out, SwitchFault::kUnknownComponent, "Components", bad);
    }
    out->setupType = kSetupCustom;
    out->components = kAlwaysInstalled | listed;
  }
  return 1;
}

int ReadMaintenanceChoices(const CommandLine& line, SetupSwitches* out) {
  char value[CommandLine::kTokenBufferSize];
  const int found = ReadValue(line, "Update", value, sizeof value);
  if (found < 0) return Refuse(out, SwitchFault::kMissingValue, "Update", "");
  if (found > 0) {
    uint32_t choice = 0;
    if (!FindNamed(kUpdateChoices, sizeof kUpdateChoices / sizeof kUpdateChoices[0], value, &choice)) {
      return Refuse(out, SwitchFault::kUnknownUpdate, "Update", value);
    }
    out->updateComponents = (choice & 1) ? 1 : 0;
    out->updateProfiles = (choice & 2) ? 1 : 0;
  }
  out->keepSettings = line.FindSwitch("KeepSettings") >= 0 ? 1 : 0;
  out->keepSmsData = line.FindSwitch("KeepSmsData") >= 0 ? 1 : 0;
  if (out->update && out->uninstall) return Refuse(out, SwitchFault::kConflict, "Update", "Uninstall");
  return 1;
}

}  // namespace

ComponentSet ComponentsOfSetupType(uint32_t setupType) {
  switch (setupType) {
    case kSetupCustom:
    case kSetupTypical:
      return kTypicalComponents;
    case kSetupAdministrator:
      return kAdministratorComponents;
    default:
      return 0;
  }
}

bool IsFullPath(const char* path) {
  const bool drive = ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                     path[1] == ':' && path[2] == '\\';
  const bool share = path[0] == '\\' && path[1] == '\\' && path[2] != '\0' && path[2] != '\\';
  return drive || share;
}

int ReadSetupSwitches(const CommandLine& line, SetupSwitches* out) {
  std::memset(out, 0, sizeof *out);
  out->showUsage = line.FindSwitch("?") >= 0;
  if (line.FindSwitch("VerySilent") >= 0) {
    out->visibility = RunVisibility::kVerySilent;
  } else if (line.FindSwitch("Silent") >= 0) {
    out->visibility = RunVisibility::kSilent;
  }
  out->noRestart = line.FindSwitch("NoRestart") >= 0;
  // Read first, so that a run refused for a bad value is still known as unattended and answers
  // in its log rather than with a box nobody will close.
  out->update = line.FindSwitch("Update") >= 0;
  out->uninstall = line.FindSwitch("Uninstall") >= 0;
  if (ReadValue(line, "Log", out->logFile, sizeof out->logFile) < 0) {
    return Refuse(out, SwitchFault::kMissingValue, "Log", "");
  }
  if (!ReadInstallChoices(line, out)) return 0;
  return ReadMaintenanceChoices(line, out);
}
