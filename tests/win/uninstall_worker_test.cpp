// The Uninstall worker without a page, against the prefix's real files and registry: what each
// mixed choice of the two boxes keeps (both set, both cleared: the machine life scenario's).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "core/bounded_string.h"
#include "sys/globals.h"
#include "tests/win/sys_test_support.h"
#include "wizard/maintenance_flow.h"

namespace {

const char kInstallationKey[] = "Software\\Xelta\\Z614\\Installation";
const char kDiagnosticsKey[] = "Software\\Xelta\\Z614\\Diagnostics";

TEST(UninstallWorker, KeepsWhatEachMixedChoiceOfTheBoxesSays) {
  const SetupContext fresh;  // the process's own context gets its folders back at the end
  char* folders[] = {setupContext.targetFolder, setupContext.commonDocumentsFolder,
                     setupContext.personalFolder};
  const char* freshFolders[] = {fresh.targetFolder, fresh.commonDocumentsFolder, fresh.personalFolder};
  const char* scratch[] = {"uninstalled", "documents", "personal"};
  for (const uint32_t settings : {1u, 0u}) {  // the messages' box the other way round
    for (int i = 0; i < 3; ++i) {
      CopyText(folders[i], MAX_PATH, MakeScratchFolder(scratch[i]).c_str());
      WriteTestFile(std::string(folders[i]) + "\\Inbox.sms", "kept?");
    }
    const std::string target = folders[0];
    WriteTestFile(target + "\\Readme.txt", "read me");
    WriteTestFile(target + "\\Remove.cnf", "[AddFile]\r\n," + target + "\\Readme.txt\r\n\r\n");
    SetMachineValue(kInstallationKey, "TargetFolder", REG_SZ, target.c_str(), DWORD(target.size() + 1));
    SetMachineValue(kDiagnosticsKey, "Readme.txt", REG_SZ, "1234", 5);
    ASSERT_TRUE(setupContext.LoadScript((target + "\\Remove.cnf").c_str()));
    keepSettings = settings;
    keepSmsData = !settings;
    EXPECT_EQ(UninstallWorker(nullptr), 0u);
    EXPECT_FALSE(PathExists(target + "\\Readme.txt")) << "the script's own file goes";
    EXPECT_FALSE(MachineKeyExists(kDiagnosticsKey)) << "the checksums go in any case";
    EXPECT_EQ(MachineKeyExists(kInstallationKey), settings != 0) << "with the settings";
    for (char* folder : folders) EXPECT_EQ(PathExists(std::string(folder) + "\\Inbox.sms"), !settings) << folder;
  }
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Xelta\\Z614");
  keepSettings = keepSmsData = 1;
  for (int i = 0; i < 3; ++i) CopyText(folders[i], MAX_PATH, freshFolders[i]);
}

}  // namespace
