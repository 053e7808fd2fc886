// The six installable components of the product as one 32-bit set. The bit values are the
// ones the install script's tags name and the installation record stores, so they never change.
#pragma once
#include <cstdint>

using ComponentSet = uint32_t;

constexpr ComponentSet kComponentUI = 0x01;
constexpr ComponentSet kComponentAdmin = 0x02;
constexpr ComponentSet kComponentDriver = 0x04;
constexpr ComponentSet kComponentHelp = 0x08;
constexpr ComponentSet kComponentSMS = 0x10;
constexpr ComponentSet kComponentSC = 0x20;

// Every component: what an installation record without a stored set stands for.
constexpr ComponentSet kAllComponents = 63;

static_assert((kComponentUI | kComponentAdmin | kComponentDriver | kComponentHelp |
               kComponentSMS | kComponentSC) == kAllComponents,
              "the six component bits make up the full set");

// The setup types of the Install flow (the value the wizard keeps as setupType).
constexpr uint32_t kSetupCustom = 1;
constexpr uint32_t kSetupTypical = 2;
constexpr uint32_t kSetupAdministrator = 3;

// The start set of Custom and the set of Typical; Administrator adds the administrator page.
constexpr ComponentSet kTypicalComponents =
    kComponentUI | kComponentDriver | kComponentHelp | kComponentSMS;  // 29
constexpr ComponentSet kAdministratorComponents = kTypicalComponents | kComponentAdmin;  // 31
// What Custom installs whatever the check boxes say.
constexpr ComponentSet kAlwaysInstalled = kComponentUI | kComponentSMS;  // 17

// The payload entries whose presence offers the administrator page and the smart card driver:
// the wizard, an unattended install and the script checker ask the same question.
constexpr char kAdminModuleEntry[] = "mod_adm.dll";
constexpr char kSmartCardEntries[] = "*Z?14SC.*";
