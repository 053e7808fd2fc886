// The four flows of the wizard. The mode picks the cancel confirmation and the step list of
// the page panel; the values are the indices of those lists.
#pragma once

enum SetupMode : int {
  kModeInstall = 0,
  kModeModify = 1,
  kModeUpdate = 2,
  kModeUninstall = 3,
};

constexpr int kSetupModeCount = 4;
