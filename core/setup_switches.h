// The administrator's switches: what an unattended run installs, updates or removes, read from
// the setup's own command line (a switch and its value are separate words, names compared
// without regard to case).
//
//   /Silent                        only the progress is shown, nothing is asked
//   /VerySilent                    nothing is shown (wins when both are given)
//   /Folder <path>                 the target folder: a full path of fewer than 255 characters
//   /Type <Typical|Custom|Administrator>
//   /Components <tag>[,<tag>...]   UI, Admin, Driver, Help, SMS, SC; UI and SMS are always
//                                  installed, as with Custom in the wizard
//   /NoRestart                     the machine is never restarted (exit code 3010 asks for it)
//   /Log <file>                    the log file
//   /Update <Components|Profiles|Both>
//   /Uninstall [/KeepSettings] [/KeepSmsData]
//   /?                             the list of switches
//
// Only what needs no system is checked here; whether the folder can be made and whether the
// payload offers a component is the start-up's question.
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/command_line.h"
#include "core/component_set.h"

// Exit codes of an unattended run, as administrators' tools read them.
constexpr int kExitDone = 0;
constexpr int kExitRestartNeeded = 3010;
constexpr int kExitCancelled = 1602;
constexpr int kExitFailed = 1603;

enum class RunVisibility : uint32_t { kWizard = 0, kSilent, kVerySilent };

enum class SwitchFault : uint32_t {
  kNone = 0,
  kMissingValue,        // a switch that takes a value stands last or before another switch
  kUnknownType,         // /Type names no setup type
  kUnknownComponent,    // /Components names a tag the script does not have
  kUnknownUpdate,       // /Update is not Components, Profiles or Both
  kFolderNotFull,       // /Folder is no full path (drive or share), or may have been cut
  kConflict,            // two switches that ask for different runs
};

struct SetupSwitches {
  RunVisibility visibility;
  char targetFolder[260];    // empty: the default folder
  uint32_t setupType;        // kSetupCustom, kSetupTypical, kSetupAdministrator; 0 when not given
  ComponentSet components;   // what the install installs; 0 when neither /Type nor /Components
  int noRestart;
  char logFile[260];         // empty: no log
  int update;                // /Update given (also with a bad value); the flags say what is updated
  uint32_t updateComponents;
  uint32_t updateProfiles;
  int uninstall;             // /Uninstall given; then the two keep flags
  uint32_t keepSettings;
  uint32_t keepSmsData;
  int showUsage;             // /?
  SwitchFault fault;
  char faultSwitch[32];      // the switch at fault, without its slash
  char faultValue[256];      // the value at fault (the one bad component tag), "" for none
};

// Reads every switch above into *out (all fields set). Returns 1 when the switches make sense
// together, else 0 with out->fault, faultSwitch and faultValue saying why.
int ReadSetupSwitches(const CommandLine& line, SetupSwitches* out);

// A run that asks nothing: a silent switch, or an unattended Update or Uninstall.
inline bool IsUnattendedRun(const SetupSwitches& s) {
  return s.visibility != RunVisibility::kWizard || s.update || s.uninstall;
}

// The set a setup type installs (Custom: its start set); 0 for no type.
ComponentSet ComponentsOfSetupType(uint32_t setupType);

// A path that names its drive ("C:\...") or share ("\\server\share...").
bool IsFullPath(const char* path);
