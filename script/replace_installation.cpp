// SetupContext::ReplaceInstallation, declared in sys/setup_context.h: the Modify and
// Update workers take one installation away by its uninstall script and install anew.
#include "sys/setup_context.h"

void SetupContext::ReplaceInstallation(HWND window, const char* uninstallScript,
                                       ComponentSet selection, const char* installScript,
                                       int applyProfiles) {
  // 1: a missing uninstall script skips the removal. Remove.cnf is one of its own records, so
  // the run deletes it and the install below starts a new one.
  if (LoadScript(uninstallScript)) RunUninstall(window);
  // 2: the install script writes a new Remove.cnf as it runs.
  if (LoadScript(installScript)) RunScript(window, selection, applyProfiles);
}
