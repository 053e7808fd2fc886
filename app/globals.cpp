// Definition order is construction order: the wizard frame, the installer context, the page
// skin, the payload archive, the command line. The context resolves the machine's folders and
// the skin loads its step names from the string table while they are constructed.
#include "sys/globals.h"

#include "wizard/page_skin.h"
#include "wizard/wizard_frame.h"

WizardFrame wizardFrame;
SetupContext setupContext;
PageSkin pageSkin;
PayloadArchive payloadArchive;
CommandLine commandLine;

HANDLE installMutex = nullptr;
