// Shared steps of the end-to-end scenarios: where the packed setup is, how a user starts it,
// and what the Windows version of this run is.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "tests/robot/process_tree.h"
#include "tests/robot/windows.h"

// The packed setup of this build, as a Windows path.
std::string PackedSetupPath();

// The run's Windows version (Z614_WINE_VERSION) and whether the setup accepts it.
std::string WineVersion();
bool SetupSupportsThisSystem();

struct SetupRun {
  bool ended = false;                  // every process of the tree ended in time
  std::vector<TreeProcess> processes;  // the started one first
  std::vector<ShownMessage> messages;  // every message box shown, each answered with OK
  bool wizardShown = false;            // a copy showed its wizard, which was then ended
};

// Starts `exe` with `arguments` the way a double click does and follows it and every process
// it starts until all have ended.
SetupRun StartAsUser(const std::string& exe, const std::string& arguments = "",
                     DWORD timeoutMs = 30000);

std::string TempFolder();  // with its trailing backslash
std::string ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// Removes every Del*.* file of the temporary folder, so a scenario counts only its own copies.
void ClearTemporaryCopies();
std::vector<std::string> TemporaryCopies();
