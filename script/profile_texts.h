// Applying the preloaded profile texts: SetupContext::ApplyProfileTexts, declared in
// sys/setup_context.h, imports each text of nwpProfiles or nwkProfiles, in list order, with
// ImportRegistryText (script/registry_import.h). A text whose bytes could not be loaded at
// start-up has size 0 and imports nothing.
#pragma once
