// What a check is made for: the systems the setup would run on and the components the user
// would choose, named on the command line as the release engineers write them.
#pragma once
#include <string>
#include <vector>

#include "core/component_set.h"
#include "core/os_family.h"

struct NamedSystem {
  const char* name;  // "win98se", "winme", "win2k", "winxp"
  OsVersion version;  // as GetVersionExA reports it on that system
};

// Fills systems with the one system named, or with all four for "all" (in the order 98 SE,
// ME, 2000, XP). Names compare without regard to case. Returns 0 for any other name.
int ParseSystemName(const char* text, std::vector<NamedSystem>* systems);

// Reads a ComponentSet written as tags ("UI,Driver,SC", without regard to case, "," or "+"
// between them) or as a number (decimal or 0x hexadecimal, at most 63). Returns 0 and a reason
// for anything else, so that a misspelt tag never silently narrows the selection.
int ParseComponentSet(const char* text, ComponentSet* set, std::string* reason);

// The set as tags in bit order ("UI,Driver"), or "none".
std::string FormatComponentSet(ComponentSet set);

// Reads the setup's own switches of an unattended install, given as one text and split as the
// setup splits its command line ("/Type Custom /Components Help,Admin"), into the components
// that run installs: /Components adds its tags to UI and SMS, /Type names its set, neither
// means Typical. Returns 0 and the setup's refusal in words for switches it refuses, and for
// switches that ask for no install (/Update, /Uninstall).
int ParseInstallSwitches(const char* text, ComponentSet* set, std::string* reason);

class PayloadIndex;

// The tag of the first component in set that the payload does not offer, as the setup refuses
// an unattended install of it: Admin without "mod_adm.dll", SC without the smart card driver's
// files. nullptr when the payload offers them all.
const char* ComponentNotOffered(ComponentSet set, const PayloadIndex& payload);
