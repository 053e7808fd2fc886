// The driver and device steps over Wine's service manager, setupapi and registry, the card
// simulator, the stand-ins' log and the configuration-manager substitute (device_config.cpp).
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>

#include "device/device_steps.h"
#include "device/driver_steps.h"
#include "device/product_apps.h"
#include "package/standins/standin_log.h"
#include "sys/globals.h"
#include "tests/win/simulated_card_support.h"
#include "tests/win/sys_test_support.h"
#include "tests/win/wine_version.h"

namespace {

constexpr char kEnum[] = "SYSTEM\\CurrentControlSet\\Enum\\";

void ForgetCard() {  // the card out, its records gone
  RunSimulator("remove");
  for (const char* tree : {"PCMCIA\\Xelta-Z614-D9EE", "MF\\PCMCIA#Xelta-Z614-D9EE",
                           "Root\\LEGACY_Z614MC", "Root\\LEGACY_Z614CTL"}) {
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, (kEnum + std::string(tree)).c_str());
  }
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\PCMCIA\\Xelta-Z614-D9EE");
}

std::string TakeLog() {
  char path[MAX_PATH];
  std::string log;
  if (standin_log::LogPath(path) && ReadTestFile(path, &log)) DeleteFileA(path);
  return log;
}

bool ServiceRuns(const char* name) {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE service = OpenServiceA(manager, name, SERVICE_QUERY_STATUS);
  SERVICE_STATUS status = {};
  const bool runs = service && QueryServiceStatus(service, &status) &&
                    status.dwCurrentState == SERVICE_RUNNING;
  CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return runs;
}

// Stand-ins in the target folder, no card, the substitute as the card's classes' installer.
class DeviceSteps : public testing::Test {
 protected:
  void SetUp() override {
    const std::string target = MakeScratchFolder("steps");
    const std::string standins = TestExecutableFolder() + "\\..\\..\\package\\standins\\";
    for (const char* file : {"Z614CTL.exe", "Z614UI.exe", "Z614MON.exe", "Z614sms.exe"})
      CopyFileA((standins + file).c_str(), (target + "\\" + file).c_str(), FALSE);
    lstrcpynA(setupContext.targetFolder, target.c_str(), MAX_PATH);
    ForgetCard();
    TakeLog();
    for (const char* guid : {"4D36E971-E325-11CE-BFC1-08002BE10318}", "4D36E96D-E325-11CE-BFC1-08002BE10318}",
                             "4D36E972-E325-11CE-BFC1-08002BE10318}", "8ECC055D-047F-11D1-A537-0000F8753ED1}"}) {
      SetMachineValue(("SYSTEM\\CurrentControlSet\\Control\\Class\\{" + std::string(guid)).c_str(),
                      "Installer32", REG_SZ, "cfgmgr32.dll,ClassInstall", 26);
    }
  }
  void TearDown() override { ForgetCard(); }
};

struct StackCase {
  uint32_t running;        // applications running before the stop
  bool cardIn;             // the simulated card is in, and stays in
  const char* relaunched;  // the applications' lines in the log after the start
};

class CardStack : public DeviceSteps, public testing::WithParamInterface<StackCase> {};

// No owner, no dialog. Card in: the NT class installer hears of each switch (the stop runs
// twice: the card stays), the 9x family's first node that switches ends the loop. Card out: the
// registration is incomplete, so the start reinstalls the drivers after a removal, whose own
// stop leaves no application to relaunch.
TEST_P(CardStack, ClosesStopsStartsAndRelaunchesWhatRan) {
  const StackCase row = GetParam();
  for (const ProductApp app : kProductApps) {
    if (row.running & app) LaunchApp(app);
  }
  CreateTestService("Z614MC", SERVICE_WIN32_OWN_PROCESS);
  if (row.cardIn) RunSimulator("insert");
  TakeLog();
  StopCardStack(nullptr);
  EXPECT_EQ(setupContext.RunningApps, row.running);
  for (const ProductApp app : kProductApps) EXPECT_EQ(IsAppRunning(app), 0) << app;
  StartCardStack(nullptr, kAllComponents);
  for (const ProductApp app : kProductApps) {
    EXPECT_EQ(IsAppRunning(app), row.cardIn && (row.running & app) ? 1 : 0) << app;
    CloseApp(app);
  }
  EXPECT_EQ(ServiceRuns("Z614MC"), !RunsAs9x() && row.cardIn);
  DeleteStoppedService("Z614MC");

  const std::string nt = "cfgmgr32.dll|DIF_PROPERTYCHANGE|PCMCIA\\XELTA-Z614-D9EE\\0\r\n";
  const std::string stop = RunsAs9x() ? "cfgmgr32.dll|CM_Disable_DevNode|PCMCIA\\Xelta-Z614-D9EE\\0 1\r\n" : nt + nt;
  const std::string start9x = "cfgmgr32.dll|CM_Enable_DevNode|PCMCIA\\Xelta-Z614-D9EE\\0 0\r\n";
  std::string expected = "Z614CTL.exe|WinMain hidden|remove\r\n" +
                         (row.cardIn ? stop : "Z614CTL.exe|WinMain hidden|remove\r\n") +
                         "Z614CTL.exe|WinMain hidden|install\r\n" + (row.cardIn ? (RunsAs9x() ? start9x : nt) : "");
  EXPECT_EQ(TakeLog(), expected + row.relaunched);
}

INSTANTIATE_TEST_SUITE_P(DriverSteps, CardStack,
                         testing::Values(StackCase{5, true, "Z614UI.exe|WinMain|\r\nZ614sms.exe|WinMain|\r\n"},
                                         StackCase{7, true, "Z614UI.exe|WinMain|\r\nZ614MON.exe|WinMain|\r\n"
                                                            "Z614sms.exe|WinMain|\r\n"},
                                         StackCase{2, false, ""}));

class ManagementService : public DeviceSteps, public testing::WithParamInterface<const char*> {};

// One that will not stop is not deleted, and runs on: this suite is the last to run. It is
// created only once; its table's values are in the install run's footprint.
TEST_P(ManagementService, IsDeletedByTheRemovalOnlyWhenItStops) {
  if (RunsAs9x()) GTEST_SKIP() << "an NT family service";
  CreateTestService("Z614MC", SERVICE_WIN32_OWN_PROCESS, GetParam());
  EXPECT_EQ(CreateManagementService(), 0) << "it exists already";
  ASSERT_EQ(StartServiceAndWait("Z614MC"), 1);
  RemoveDevices(nullptr);
  EXPECT_TRUE(GetParam()[0] ? ServiceRuns("Z614MC") : ServiceGoneWithinTwoSeconds("Z614MC"));
}

INSTANTIATE_TEST_SUITE_P(DriverSteps, ManagementService, testing::Values("", " nostop"));

// Children go first, up to one that cannot go; what the whole removal leaves is the machine life's.
TEST_F(DeviceSteps, RemovalTakesTheCardsTreesChildrenFirst) {
  if (RunsAs9x()) GTEST_SKIP() << "the NT family's device trees";
  RunSimulator("insert");
  const std::string mf = "MF\\PCMCIA#Xelta-Z614-D9EE\\", stuck = kEnum + mf + "7";
  SetMachineValue(stuck.c_str(), "Class", REG_SZ, "Stuck", 6);  // no class: never listed
  const std::string children = mf + "0" + '\0' + mf + "1" + '\0' + mf + "7" + '\0' + '\0';
  SetMachineValue(kSimulatorChildrenKey, "PCMCIA\\Xelta-Z614-D9EE\\0", REG_MULTI_SZ, children.data(), children.size());
  TakeLog();
  RemoveDeviceTree("PCMCIA\\Xelta-Z614-D9EE\\", 1);
  EXPECT_EQ(TakeLog(), "cfgmgr32.dll|DIF_REMOVE|MF\\PCMCIA#XELTA-Z614-D9EE\\0\r\n"
                       "cfgmgr32.dll|DIF_REMOVE|MF\\PCMCIA#XELTA-Z614-D9EE\\1\r\n"
                       "cfgmgr32.dll|DIF_REMOVE|PCMCIA\\XELTA-Z614-D9EE\\0\r\n");
  EXPECT_TRUE(MachineKeyExists(stuck.c_str()));
}

#define CLASS_KEY "System\\CurrentControlSet\\Services\\Class\\"

// Class keys go by equality (multifunction, network) or containment (readers) of a value.
TEST_F(DeviceSteps, Removal9xDeletesOnlyTheCardsKeys) {
  const struct { const char *key, *value, *data; bool goes; } keys[] = {
      {"Enum\\PCMCIA\\Xelta-Z614-D9EE\\0", "Class", "MultiFunction", true},
      {"Enum\\MODEM\\XELTAZ614\\0000", "Class", "Modem", true},
      {"Enum\\MF\\CHILD0003\\PCMCIA&Xelta-Z614-D9EE&0", "Class", "Modem", true},
      {"Enum\\MF\\CHILD0004\\PCMCIA&Other-Card&0", "Class", "Modem", false},
      {CLASS_KEY "Multifunction\\0002", "MatchingDeviceId", "pcmcia\\xelta-z614-d9ee", true},
      {CLASS_KEY "Multifunction\\0003", "MatchingDeviceId", "PCMCIA\\Xelta-Z614-D9EE\\0", false},
      {CLASS_KEY "Net\\0099", "FirmwareImage", "z614fw.bin", true},
      {"Enum\\Root\\SmartCardReader\\0000", "DeviceDesc", "Xelta z614 reader", true},
      {CLASS_KEY "SmartCardReader\\0005", "DriverDesc", "Z614 SC driver", true},
      {CLASS_KEY "SmartCardReader\\0006", "DriverDesc", "Other driver", false},
  };
  for (const auto& k : keys) SetMachineValue(k.key, k.value, REG_SZ, k.data, strlen(k.data) + 1);
  Remove9xDevices();
  for (const auto& k : keys) EXPECT_EQ(MachineKeyExists(k.key), !k.goes) << k.key;
  EXPECT_FALSE(MachineKeyExists("Enum\\MF\\CHILD0003")) << "the child's whole tree";
}

}  // namespace
