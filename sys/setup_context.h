// The one installer context: the folders every script line is built from, the target folder
// the user chose, and the state the flows share while they work.
#pragma once
#include <windows.h>

#include <cstdint>

// Reads the shell folder csidl into path (MAX_PATH bytes); leaves path empty when the running
// system does not know the folder. The product reads the shell itself; the parameter exists so
// that the fallbacks of systems without common folders can be shown on any system.
using ShellFolderReader = void (*)(int csidl, char* path);

// The shell's own reader: SHGetSpecialFolderPathA without owner window and without creating
// the folder.
void ReadShellFolder(int csidl, char* path);

class SetupContext {
 public:
  // Resolves every folder once, in the order of the fields below.
  SetupContext();
  explicit SetupContext(ShellFolderReader readShellFolder);

  SetupContext(const SetupContext&) = delete;
  SetupContext& operator=(const SetupContext&) = delete;

  // When targetFolder is empty, makes it programFilesFolder\Xelta\<product name>
  // (string IDS_PRODUCT_NAME), as the Folder page first offers it. Returns 1 when targetFolder
  // holds a folder afterwards.
  int UseDefaultTargetFolder();

  // ---- Folders, each at most 259 characters; resolved by the constructor in this order ----
  char sourceFolder[MAX_PATH] = "";          // %SOURCEFOLDER%: folder of the running executable
  char windowsFolder[MAX_PATH] = "";         // %WINDOWSFOLDER%, no trailing backslash
  char systemFolder[MAX_PATH] = "";          // %SYSTEMFOLDER%, no trailing backslash
  char startMenuFolder[MAX_PATH] = "";       // %STARTMENUFOLDER%: common, else the user's
  char startupFolder[MAX_PATH] = "";         // %STARTUPFOLDER%
  char desktopFolder[MAX_PATH] = "";         // %DESKTOPFOLDER%
  char programsFolder[MAX_PATH] = "";        // %PROGRAMSFOLDER%
  char commonProgramsFolder[MAX_PATH] = "";  // %COMMONPROGRAMSFOLDER%: else programsFolder
  char appDataFolder[MAX_PATH] = "";         // %APPDATAFOLDER%: the common application data
  char commonDocumentsFolder[MAX_PATH] = ""; // %COMMONDOCUMENTS%: else personalFolder
  char personalFolder[MAX_PATH] = "";        // the user's documents
  char programFilesFolder[MAX_PATH] = "";    // "C:\" when the system does not name it
  char tempFolder[MAX_PATH] = "";            // %TEMPFOLDER%, with its trailing backslash
  char targetFolder[MAX_PATH] = "";          // %TARGETFOLDER%: the Folder page or the record

  // The command that deletes the temporary copy of the setup at the next logon; start-up
  // fills it, the flows schedule it with SetRunOnce.
  char deleteCloneCommand[MAX_PATH] = "";

  // Product applications closed by the last card-stack stop, so the start step can relaunch
  // exactly those.
  uint32_t RunningApps = 0;

  // Whether the script run records the checksum of every installed file; nothing clears it.
  int recordChecksums = 1;

  // ---- Still to come with the script loader: the nine item lists of the parsed install
  // script (iniSectionItems ... folderItems) and their precached file contents. ----

  // ---- Still to come with the profile collection: the lists nwpProfiles and nwkProfiles of
  // preloaded profile texts. ----

 private:
  void ResolveFolders(ShellFolderReader readShellFolder);
};
