#include "wizard/install_flow.h"

#include "res/resource.h"
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
  // The Installing page (114) follows the Summary page once the install run exists; until
  // then Next on the Summary page ends the wizard.
  wizardFrame.Run();
}
