// The one installer context: the folders every script line is built from, the target folder
// the user chose, and the state the flows share while they work.
#pragma once
#include <windows.h>

#include <cstdint>

#include "core/component_set.h"
#include "core/owned_list.h"
#include "core/script_model.h"
#include "device/profile_text.h"

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

  // ---- The install script engine (script/) ----

  // The loaded script: the nine item lists and their precached file contents. Filled by each
  // successful LoadScript; a failed load leaves them as they were.
  InstallScript script;

  // The preloaded profile texts, filled once at start-up by CollectNwpProfiles and
  // CollectNwkProfiles (device/profile_collection.h); LoadScript leaves them alone.
  OwnedList<ProfileText> nwpProfiles;
  OwnedList<ProfileText> nwkProfiles;

  // Copies the file `name` beside the started executable (sourceFolder joined with name; a
  // full path stands for itself) over `destination`; when that fails, extracts the payload
  // archive's entry `name` to `destination`. Non-zero on success. (script/load_script.cpp)
  int FetchScriptFile(const char* name, const char* destination);

  // Loads the script `name` (a bare file name such as "Setup.cnf", or a full path such as the
  // target folder's Remove.cnf) into `script`, selecting sections for the running system and
  // precaching "<precache>" AddFile sources. Non-zero on success. (script/load_script.cpp)
  int LoadScript(const char* name);

  // Runs the loaded script for the selection; window receives the progress
  // messages of wizard/wizard_messages.h, or nullptr for none. (script/run_script.cpp)
  void RunScript(HWND window, ComponentSet selection, int applyProfiles);

  // LoadScript(uninstallScript), then RunUninstall(window) when it loaded; LoadScript(
  // installScript), then RunScript(window, selection, applyProfiles) when it loaded.
  // (script/replace_installation.cpp)
  void ReplaceInstallation(HWND window, const char* uninstallScript, ComponentSet selection,
                           const char* installScript, int applyProfiles);

  // Appends the record "[<action><tags of mask>]\r\n<line>\r\n\r\n" to targetFolder's
  // Remove.cnf; dropped silently when the file cannot be opened. (script/uninstall_script.cpp)
  void AppendUninstallRecord(const char* action, const char* line, ComponentSet mask);

  // Undoes every record of the loaded uninstall script: files, shortcuts, then folders.
  // (script/uninstall_script.cpp)
  void RunUninstall(HWND window);

  // ImportRegistryText of each text of the list, in order. (script/profile_texts.cpp)
  void ApplyProfileTexts(const OwnedList<ProfileText>& list);

 private:
  void ResolveFolders(ShellFolderReader readShellFolder);
};
