// The process-wide objects of the setup. They are constructed before the entry point runs, in
// the order they are defined in app/globals.cpp, and destroyed at exit in the reverse order.
#pragma once
#include <windows.h>

#include "core/command_line.h"
#include "payload/payload_archive.h"
#include "sys/setup_context.h"

extern SetupContext setupContext;
extern PayloadArchive payloadArchive;
extern CommandLine commandLine;

// The single-instance mutex held by the running wizard copy.
extern HANDLE installMutex;
