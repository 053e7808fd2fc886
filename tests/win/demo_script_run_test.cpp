// The demo payload's Setup.cnf run headless for several selections: a copy of this executable
// with the demo payload appended stands for the packed setup, installs, and then uninstalls
// with its Remove.cnf; the parent test checks the machine after each run.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "device/profile_collection.h"
#include "sys/folders.h"
#include "tests/win/script_run_support.h"
#include "tests/win/wine_version.h"

using namespace script_test;

namespace {

constexpr char kDemoFolder[] = "C:\\z614\\demo";
constexpr char kDemoSetup[] = "C:\\z614\\demo\\Setup.exe";
constexpr char kDemoTarget[] = "C:\\z614\\demo\\Programs\\Xelta Z614";

// The demo folder's files (seen through Wine's drive Z:), and stand-ins for the programs and
// libraries the build makes from source and packs beside them.
std::vector<PackedEntry> DemoPayload() {
  std::string folder = __FILE__;  // <source>/tests/win/demo_script_run_test.cpp
  folder = "Z:" + folder.substr(0, folder.rfind("/tests/win/")) + "/package/demo";
  for (char& c : folder) c = c == '/' ? '\\' : c;
  std::vector<PackedEntry> entries;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  while (search != INVALID_HANDLE_VALUE) {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      entries.push_back({found.cFileName, ReadText(folder + "\\" + found.cFileName)});
    }
    if (!FindNextFileA(search, &found)) break;
  }
  FindClose(search);
  for (const char* program : {"Z614UI.exe", "Z614MON.exe", "Z614CTL.exe", "Z614sms.exe",
                              "DevStop.dll", "Xescinst.dll", "mod_adm.dll"}) {
    entries.push_back({program, std::string("MZ stand-in of ") + program});
  }
  return entries;
}

// Starts the packed copy with its one test and the run's parameters; waits at most a minute.
int RunDemoSetup(const char* mode, ComponentSet selection) {
  SetEnvironmentVariableA("Z614_DEMO_MODE", mode);
  SetEnvironmentVariableA("Z614_DEMO_SELECTION", std::to_string(selection).c_str());
  std::string command = std::string("\"") + kDemoSetup +
                        "\" --gtest_also_run_disabled_tests --gtest_filter=DemoSetupRun.DISABLED_Run";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, kDemoFolder,
                      &startup, &process)) {
    return -1;
  }
  DWORD exitCode = 1;
  if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 99);  // a run that waits for a user fails, never hangs
  }
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(exitCode);
}

// A shortcut's target, description and icon, read through the shell's link object.
std::string LinkFields(const std::string& link) {
  CoInitialize(nullptr);
  IShellLinkA* shellLink = nullptr;
  IPersistFile* file = nullptr;
  WCHAR wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
  std::string fields = "unreadable";
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&shellLink))) &&
      SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Load(wide, STGM_READ))) {
    char path[MAX_PATH] = "", description[1024] = "", icon[MAX_PATH] = "";
    int index = 0;
    shellLink->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH);
    shellLink->GetDescription(description, sizeof description);
    shellLink->GetIconLocation(icon, MAX_PATH, &index);
    fields = std::string(path) + "|" + description + "|" + icon + "," + std::to_string(index);
  }
  if (file != nullptr) file->Release();
  if (shellLink != nullptr) shellLink->Release();
  return fields;
}

// What a selection must leave: "@" stands for the target folder, "$" for the system folder,
// "#" for the Windows folder; links are file names in the product's menu folder.
struct DemoCase {
  ComponentSet selection;
  std::vector<std::string> present;
  std::vector<std::string> absent;
  std::set<std::string> links;
};

std::string Place(const std::string& path, const SetupContext& folders) {
  if (path[0] == '@') return kDemoTarget + path.substr(1);
  if (path[0] == '$') return folders.systemFolder + path.substr(1);
  return folders.windowsFolder + path.substr(1);
}

}  // namespace

// The packed copy's part: install or uninstall as the parent asks.
TEST(DemoSetupRun, DISABLED_Run) {
  const char* mode = std::getenv("Z614_DEMO_MODE");
  const char* selection = std::getenv("Z614_DEMO_SELECTION");
  ASSERT_TRUE(mode != nullptr && selection != nullptr);
  CopyText(setupContext.targetFolder, MAX_PATH, kDemoTarget);
  payloadArchive.flags |= OverwriteExisting;
  if (std::string(mode) == "install") {
    ASSERT_EQ(payloadArchive.Open(""), 1);
    CollectNwpProfiles(setupContext, payloadArchive);
    CollectNwkProfiles(setupContext, payloadArchive);
    ASSERT_NE(setupContext.LoadScript("Setup.cnf"), 0);
    setupContext.RunScript(nullptr, static_cast<ComponentSet>(std::atoi(selection)), 1);
  } else {
    ASSERT_NE(setupContext.LoadScript((std::string(kDemoTarget) + "\\Remove.cnf").c_str()), 0);
    setupContext.RunUninstall(nullptr);
  }
}

TEST(DemoSetupRun, InstallsEachSelectionAndItsRemoveScriptTakesItAway) {
  const bool nt = !RunsAs9x();
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, sizeof self);
  CreateDirectoryA("C:\\z614", nullptr);
  CreateDirectoryA(kDemoFolder, nullptr);
  const std::string packed = Packed(DemoPayload(), ReadText(self));
  ASSERT_TRUE(WriteTestFile(kDemoSetup, packed));
  // Beside the setup: the read-me, which the script's optional line precaches and writes, and
  // profiles, collected after the packed ones and applied .nwp before .nwk.
  const std::string newerReadMe = "A read-me, placed beside the setup.\r\n";
  ASSERT_TRUE(WriteTestFile(std::string(kDemoFolder) + "\\ReadMe.txt", newerReadMe));
  for (const char* type : {"nwp", "nwk"}) {
    WriteTestFile(std::string(kDemoFolder) + "\\Site." + type,
                  std::string("regedit4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614\\Profiles]\r\n") +
                      "\"Site\"=\"" + type + "\"\r\n");
  }

  SetupContext folders;  // the same prefix: the copy resolves the same folders
  const std::string menu = std::string(folders.commonProgramsFolder) + "\\Xelta\\Xelta Z614\\";
  const std::string winIni = std::string(folders.windowsFolder) + "\\win.ini";
  const std::string winIniBefore = ReadText(winIni);
  const std::string target = kDemoTarget;

  const std::string inf = "#\\INF\\Z614.inf";
  const DemoCase cases[] = {
      {kComponentUI,
       {"@\\Uninstall.exe", "@\\ReadMe.txt", "@\\Z614UI.exe", "@\\Z614MON.exe", "@\\Z614CTL.exe",
        "@\\Z614API.dll", "@\\Z614RAS.dll", "@\\Operators.txt", "@\\Z614UI.hlp", "@\\Z614UI.cnt"},
       {"@\\mod_adm.dll", "@\\Z614sms.exe", "@\\Welcome.sms", "@\\Z614sms.chm", "$\\Z614FW.bin", inf},
       {"Xelta Z614.lnk", "Xelta Z614 Monitor Window.lnk", "Readme.lnk", "Xelta Z614 Uninstall.lnk",
        "Xelta Z614 Help.lnk"}},
      {kComponentSMS | kComponentHelp,
       {"@\\Uninstall.exe", "@\\Z614sms.exe", "@\\Welcome.sms", "@\\Phrases.smp", "@\\Z614sms.chm"},
       {"@\\Z614UI.exe", "@\\Z614UI.hlp", "@\\mod_adm.dll", "#\\Xelta.txt", inf},
       {"Xelta Z614 Uninstall.lnk", "Xelta Short Messaging.lnk", "Xelta Short Messaging Help.lnk"}},
      {kComponentDriver | kComponentSC,
       nt ? std::vector<std::string>{"$\\Z614FW.bin", "$\\drivers\\Z614MDM.sys", inf,
                                     "#\\INF\\Z614MDM.inf", "#\\INF\\Z614.cat", "$\\Z614SC.dll",
                                     "$\\drivers\\Z614SC.sys"}
          : std::vector<std::string>{"$\\Z614FW.bin", "$\\Z614BUS.vxd", inf, "#\\INF\\Z614MDM.inf",
                                     "$\\Z614PCC.vxd", "$\\Z614SC.dll", "$\\Z614SC.vxd"},
       {"@\\Z614UI.exe", nt ? "$\\Z614SC.vxd" : "$\\drivers\\Z614SC.sys"},
       {"Xelta Z614 Uninstall.lnk"}},
      {kComponentDriver, {"$\\Z614FW.bin", inf}, {"$\\Z614SC.dll"}, {"Xelta Z614 Uninstall.lnk"}},
  };

  for (const DemoCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "selection " << c.selection << (nt ? " NT" : " 9x"));
    const bool ui = (c.selection & kComponentUI) != 0;
    const bool driver = (c.selection & kComponentDriver) != 0;
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kDiagnosticsKey);
    ASSERT_EQ(RunDemoSetup("install", c.selection), 0);

    for (const std::string& path : c.present) EXPECT_TRUE(PathExists(Place(path, folders))) << path;
    for (const std::string& path : c.absent) EXPECT_FALSE(PathExists(Place(path, folders))) << path;
    for (const char* link : {"Xelta Z614.lnk", "Xelta Z614 Monitor Window.lnk", "Readme.lnk",
                             "Xelta Z614 Uninstall.lnk", "Xelta Z614 Help.lnk",
                             "Xelta Short Messaging.lnk", "Xelta Short Messaging Help.lnk"}) {
      EXPECT_EQ(PathExists(menu + link), c.links.count(link) == 1) << link;
    }
    // The uninstaller is the packed setup itself, payload included.
    EXPECT_TRUE(ReadText(target + "\\Uninstall.exe") == packed);
    if (ui) {
      EXPECT_EQ(ReadText(target + "\\ReadMe.txt"), newerReadMe);
      EXPECT_EQ(ReadText(Place("#\\Xelta.txt", folders)),
                "Xelta Z614 software 1.00 was installed on this computer.\r\n");
      EXPECT_EQ(LinkFields(menu + "Xelta Z614.lnk"),
                target + "\\Z614UI.exe|Allows you to establish network connections, manage "
                         "profiles, configure settings, view network status, and more.|" +
                    target + "\\Z614UI.exe,0");
    }

    // Values, registry texts, profiles and WIN.INI's sections.
    EXPECT_EQ(StringData(ReadMachineValue("Software\\Xelta\\Z614", "InstallFolder")), target);
    EXPECT_EQ(ReadMachineValue("Software\\Xelta\\Z614\\Main UI", "RunFirst").data,
              ui ? std::string("\x01\0\0\0", 4) : "");
    const RegistryValue band = ReadMachineValue("Software\\Xelta\\Z614\\Driver", "BandSelection");
    EXPECT_EQ(band.type, static_cast<DWORD>(driver ? REG_BINARY : REG_NONE));
    EXPECT_EQ(band.data, driver ? std::string("\x03\0\0\0", 4) : "");
    EXPECT_EQ(StringData(ReadMachineValue("Software\\Xelta\\Z614\\Driver", "Platform")),
              driver ? (nt ? "WinXP" : "Win98SE") : "");
    const RegistryValue profile = ReadMachineValue("SOFTWARE\\Xelta\\Z614\\Profiles", "Default");
    EXPECT_EQ(profile.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(profile.data.size(), 91u);
    EXPECT_EQ(StringData(ReadMachineValue("SOFTWARE\\Xelta\\Z614\\Profiles", "Site")), "nwk");
    if (!winIniBefore.empty()) {
      const std::string text = ReadText(winIni);
      EXPECT_EQ(text.find("[Xelta Z614]\r\nInstalled=1\r\n") != std::string::npos, ui);
      EXPECT_EQ(text.find("[Xelta Short Messaging]") != std::string::npos,
                (c.selection & kComponentSMS) != 0);
    }

    // The installed INF file: CopyFiles commented out; on the NT family the smart-card child
    // switched on with SC and off without it.
    const std::string infText = ReadText(Place(inf, folders));
    if (driver) {
      EXPECT_NE(infText.find("\n; CopyFiles=Z614.CopyFiles"), std::string::npos);
      const bool switchedOff = nt && (c.selection & kComponentSC) == 0;
      EXPECT_EQ(infText.find("\n;HKR,Child0002,HardwareID") != std::string::npos, switchedOff);
      EXPECT_EQ(infText.find("\nHKR,Child0002,HardwareID") != std::string::npos, !switchedOff);
    }

    // Remove.cnf as the uninstall reads it: each installed file but the message files and
    // Remove.cnf itself has its CRC under Diagnostics, and nothing else has one.
    ASSERT_EQ(folders.LoadScript((target + "\\Remove.cnf").c_str()), 1);
    const InstallScript& recorded = folders.script;
    EXPECT_EQ(recorded.shellLinkItems.Count(), c.links.size() + (ui ? 1u : 0u));  // and the desktop's
    std::vector<std::string> paths;
    std::set<std::string> checksummed;
    for (size_t i = 0; i < recorded.fileItems.Count(); ++i) {
      std::string path = recorded.fileItems.At(i)->destination;
      paths.push_back(path);
      if (path.empty() || HasExtension(path.c_str(), "PNF") || HasExtension(path.c_str(), "GID")) {
        continue;
      }
      EXPECT_TRUE(PathExists(path)) << path;
      if (HasExtension(path.c_str(), "SMS") || HasExtension(path.c_str(), "SMP") ||
          path == target + "\\Remove.cnf") {
        continue;
      }
      EXPECT_EQ(StringData(ReadMachineValue(kDiagnosticsKey, path.c_str())), Crc32Text(ReadText(path)))
          << path;
      checksummed.insert(CharLowerA(&path[0]));
    }
    HKEY diagnostics = nullptr;
    DWORD values = 0;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDiagnosticsKey, 0, KEY_READ, &diagnostics);
    RegQueryInfoKeyA(diagnostics, 0, 0, 0, 0, 0, 0, &values, 0, 0, 0, 0);
    RegCloseKey(diagnostics);
    EXPECT_EQ(values, checksummed.size());
    for (size_t i = 0; i < recorded.shellLinkItems.Count(); ++i) {
      paths.push_back(recorded.shellLinkItems.At(i)->link);
    }
    for (size_t i = 0; i < recorded.folderItems.Count(); ++i) {
      paths.push_back(recorded.folderItems.At(i)->folder);
    }

    // The uninstall takes away everything recorded but the folders that hold the setup.
    ASSERT_EQ(RunDemoSetup("uninstall", c.selection), 0);
    for (const std::string& path : paths) {
      EXPECT_TRUE(!PathExists(path) || path == "C:\\z614" || path == kDemoFolder) << path;
    }

    // What is not recorded stays by design; put the machine back for the next selection.
    for (const char* driver : {"Z614BUS.vxd", "Z614MC.vxd", "Z614MDM.vxd", "Z614NIC.vxd"}) {
      DeleteFileA((std::string(folders.systemFolder) + "\\" + driver).c_str());
    }
    DeleteFileA(Place("#\\Xelta.txt", folders).c_str());
    if (!winIniBefore.empty()) WriteTestFile(winIni, winIniBefore);
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Xelta\\Z614");
  }
  DeleteFileA(kDemoSetup);
  for (const char* file : {"\\ReadMe.txt", "\\Site.nwp", "\\Site.nwk"}) {
    DeleteFileA((kDemoFolder + std::string(file)).c_str());
  }
}
