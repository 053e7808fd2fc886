#include "sys/switch_messages.h"

#include <cstdio>

#include "core/bounded_string.h"
#include "res/resource.h"
#include "sys/module_instance.h"
#include "sys/setup_message.h"

namespace {

// The longest text of the box is four string-table texts, one after the other.
constexpr size_t kUsageSize = 4 * kTextBufferSize;
constexpr UINT kUsageTexts[] = {IDS_USAGE_INSTALL, IDS_USAGE_COMPONENTS, IDS_USAGE_MAINTENANCE,
                                IDS_USAGE_EXIT_CODES};

UINT FaultText(SwitchFault fault) {
  switch (fault) {
    case SwitchFault::kMissingValue:
      return IDS_SWITCH_NO_VALUE;
    case SwitchFault::kUnknownType:
      return IDS_SWITCH_BAD_TYPE;
    case SwitchFault::kUnknownComponent:
      return IDS_SWITCH_BAD_COMPONENT;
    case SwitchFault::kUnknownUpdate:
      return IDS_SWITCH_BAD_UPDATE;
    case SwitchFault::kFolderNotFull:
      return IDS_SWITCH_BAD_FOLDER;
    case SwitchFault::kConflict:
    case SwitchFault::kNone:
      break;
  }
  return IDS_SWITCH_CONFLICT;
}

}  // namespace

void ShowUsage() {
  char usage[kUsageSize] = "";
  for (UINT id : kUsageTexts) {
    char text[kTextBufferSize];
    LoadText(id, text);
    AppendText(usage, sizeof usage, text);
  }
  char caption[kTextBufferSize];
  LoadText(IDS_MESSAGE_CAPTION, caption);
  ShowSetupMessage(nullptr, usage, caption, MB_OK | MB_ICONINFORMATION);
}

int RefuseRun(UINT textId, const char* detail, const char* second) {
  char format[kTextBufferSize];
  char caption[kTextBufferSize];
  LoadText(textId, format);
  LoadText(IDS_MESSAGE_CAPTION, caption);
  // The texts hold one or two %s and nothing else that formats; the details are the
  // administrator's own words, put in whole or cut to the message's size.
  char text[2 * kTextBufferSize + MAX_PATH];
  snprintf(text, sizeof text, format, detail, second);
  ShowSetupMessage(nullptr, text, caption, MB_OK | MB_ICONSTOP);
  return IsUnattended() ? kExitFailed : 0;
}

int RefuseSwitches(const SetupSwitches& switches) {
  const UINT textId = FaultText(switches.fault);
  // The no-value and conflict texts name switches; the others the value at fault.
  if (textId == IDS_SWITCH_NO_VALUE || textId == IDS_SWITCH_CONFLICT) {
    return RefuseRun(textId, switches.faultSwitch, switches.faultValue);
  }
  return RefuseRun(textId, switches.faultValue);
}
