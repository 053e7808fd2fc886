#include "wizard/install_flow.h"

#include "res/resource.h"
#include "wizard/install_run.h"
#include "wizard/wizard_frame.h"

ComponentSet selectedComponents = 0;
uint32_t setupType = 0;

void RunInstallFlow() {
  wizardFrame.AddPage(IDD_WELCOME, WelcomePage);
  wizardFrame.AddPage(IDD_LICENSE, LicensePage);
  wizardFrame.AddPage(IDD_FOLDER, FolderPage);
  wizardFrame.AddPage(IDD_SETUP_TYPE, SetupTypePage);
  wizardFrame.AddPage(IDD_COMPONENTS, ComponentsPage);
  wizardFrame.AddPage(IDD_SUMMARY, SummaryPage);
  // The Installing page appends the finish page that fits the card once its worker is done.
  wizardFrame.AddPage(IDD_INSTALLING, InstallingPage);
  wizardFrame.Run();
}
