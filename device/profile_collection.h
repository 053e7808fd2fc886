// Profile collection: the connection-profile texts of the payload archive and of the
// folder of the started executable, read once at start-up into the SetupContext's lists
// nwpProfiles and nwkProfiles (ProfileText, device/profile_text.h). Nothing is written here;
// the script run applies the texts later (SetupContext::ApplyProfileTexts).
//
// Each collection appends, in this order:
//   1. every archive entry matching the pattern, in directory order (CountMatches,
//      GetMatchName, LoadEntry); an entry whose bytes cannot be loaded stays with size 0;
//   2. every file matching the pattern in context.sourceFolder, in the order FindFirstFileA /
//      FindNextFileA list them, named by its full path; a file that does not open is skipped.
//      "*.NWP" files are kept only when they begin with "regedit4" (any letter case);
//      "*.NWK" files are kept whatever they hold.
// The folder pass is skipped when sourceFolder is empty (it would search the current folder).
#pragma once

class PayloadArchive;
class SetupContext;

// Start-up step 10 calls these two with the process-wide objects, NWP first.
void CollectNwpProfiles(SetupContext& context, PayloadArchive& archive);
void CollectNwkProfiles(SetupContext& context, PayloadArchive& archive);
