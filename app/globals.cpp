// Definition order is construction order: the wizard frame, the installer context, the page
// skin, the payload archive, the command line. The frame and the skin join this list with the
// wizard; the context resolves the machine's folders while it is constructed.
#include "app/globals.h"

SetupContext setupContext;
PayloadArchive payloadArchive;
CommandLine commandLine;

HANDLE installMutex = nullptr;
