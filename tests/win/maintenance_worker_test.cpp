// The maintenance workers run without a page, as their progress pages start them, against the
// prefix's real files and registry: what the Uninstall worker keeps for each pair of boxes, and
// an Update of the profiles alone. The device steps find no card and go on.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>
#include <string>

#include "core/bounded_string.h"
#include "sys/globals.h"
#include "tests/win/sys_test_support.h"
#include "wizard/install_flow.h"
#include "wizard/maintenance_flow.h"

namespace {

const char kInstallationKey[] = "Software\\Xelta\\Z614\\Installation";
const char kDiagnosticsKey[] = "Software\\Xelta\\Z614\\Diagnostics";
const char kProfileKey[] = "Software\\Xelta\\Z614\\Profiles\\Maintained";

class MaintenanceWorker : public testing::Test {
 protected:
  // The context is the process's own: the later tests get its folders back.
  static void TearDownTestSuite() {
    const SetupContext fresh;
    CopyText(setupContext.targetFolder, MAX_PATH, fresh.targetFolder);
    CopyText(setupContext.commonDocumentsFolder, MAX_PATH, fresh.commonDocumentsFolder);
    CopyText(setupContext.personalFolder, MAX_PATH, fresh.personalFolder);
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Xelta\\Z614");
    keepSettings = keepSmsData = updateComponents = updateProfiles = 1;
  }

  void SetUp() override {
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Xelta\\Z614");
    target_ = MakeScratchFolder("maintained");
    CopyText(setupContext.targetFolder, sizeof setupContext.targetFolder, target_.c_str());
    CopyText(setupContext.commonDocumentsFolder, MAX_PATH, MakeScratchFolder("documents").c_str());
    CopyText(setupContext.personalFolder, MAX_PATH, MakeScratchFolder("personal").c_str());
    for (const char* folder : {setupContext.targetFolder, setupContext.commonDocumentsFolder,
                               setupContext.personalFolder}) {
      WriteTestFile(std::string(folder) + "\\Inbox.sms", "message");
    }
    WriteTestFile(target_ + "\\Readme.txt", "read me");
    removeCnf_ = "[AddFile]\r\n," + target_ + "\\Readme.txt\r\n\r\n";
    WriteTestFile(target_ + "\\Remove.cnf", removeCnf_);
    SetMachineValue(kInstallationKey, "TargetFolder", REG_SZ, target_.c_str(),
                    static_cast<DWORD>(target_.size() + 1));
    SetMachineValue(kDiagnosticsKey, "Readme.txt", REG_SZ, "1234", 5);
    selectedComponents = kComponentUI | kComponentSMS;
  }

  // Runs the worker without a page and reports how long it took.
  void Run(LPTHREAD_START_ROUTINE worker, const char* name) {
    const DWORD start = GetTickCount();
    EXPECT_EQ(worker(nullptr), 0u);
    printf("%s without a page: %lu ms\n", name, static_cast<unsigned long>(GetTickCount() - start));
  }

  std::string target_;
  std::string removeCnf_;
};

TEST_F(MaintenanceWorker, UninstallKeepsWhatItsBoxesSay) {
  struct Case {
    uint32_t settings, sms;
  };
  for (const Case& c : {Case{1, 1}, Case{1, 0}, Case{0, 1}, Case{0, 0}}) {
    SCOPED_TRACE(testing::Message() << "settings " << c.settings << ", sms " << c.sms);
    SetUp();
    ASSERT_TRUE(setupContext.LoadScript((target_ + "\\Remove.cnf").c_str()));
    keepSettings = c.settings;
    keepSmsData = c.sms;
    Run(UninstallWorker, "UninstallWorker");
    EXPECT_FALSE(PathExists(target_ + "\\Readme.txt")) << "the script's own file goes";
    EXPECT_FALSE(MachineKeyExists(kDiagnosticsKey)) << "the checksums go in any case";
    EXPECT_EQ(MachineKeyExists(kInstallationKey), c.settings != 0);
    for (const char* folder : {setupContext.targetFolder, setupContext.commonDocumentsFolder,
                               setupContext.personalFolder}) {
      EXPECT_EQ(PathExists(std::string(folder) + "\\Inbox.sms"), c.sms != 0) << folder;
    }
  }
}

// Profiles only: the installation is neither removed nor run again, the checksums stay, the
// profile text is applied and the data-file record is still appended.
TEST_F(MaintenanceWorker, UpdateOfTheProfilesAloneLeavesTheInstallation) {
  const std::string text = std::string("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\") + kProfileKey +
                           "]\r\n\"Name\"=\"GPRS\"\r\n";
  auto profile = std::make_unique<ProfileText>();
  profile->data = std::make_unique<uint8_t[]>(text.size());
  std::memcpy(profile->data.get(), text.data(), text.size());
  profile->size = static_cast<uint32_t>(text.size());
  setupContext.nwpProfiles.Append(std::move(profile));
  updateComponents = 0;
  updateProfiles = 1;
  Run(UpdateWorker, "UpdateWorker (profiles)");
  setupContext.nwpProfiles.Clear();
  EXPECT_EQ(ReadMachineValue(kProfileKey, "Name").data, std::string("GPRS", 5));
  EXPECT_TRUE(MachineKeyExists(kDiagnosticsKey));
  EXPECT_TRUE(PathExists(target_ + "\\Readme.txt"));
  std::string written;
  ReadTestFile(target_ + "\\Remove.cnf", &written);
  EXPECT_EQ(written,
            removeCnf_ + "[AddFile]\r\n," + target_ + "\\*.z6?\r\n\r\n");
}

}  // namespace
