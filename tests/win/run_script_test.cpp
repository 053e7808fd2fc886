// Whole runs against the prefix's real files, registry and shell links: the install run's order
// with the progress the page sees and its Remove.cnf byte for byte; the uninstall run with its
// wildcards, read-only files, folders in use and progress; ReplaceInstallation.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/win/script_run_support.h"

using namespace script_test;

namespace {

std::string MenuFolder(const SetupContext& context) {
  return std::string(context.programsFolder) + "\\Xelta\\Xelta Z614";
}

std::unique_ptr<ProfileText> Profile(const std::string& text) {
  std::unique_ptr<ProfileText> profile(new ProfileText);
  profile->data.reset(new uint8_t[text.size()]);
  memcpy(profile->data.get(), text.data(), text.size());
  profile->size = static_cast<uint32_t>(text.size());
  return profile;
}

}  // namespace

// One item of every list, written against the order of the run; UpdateFile announces its item
// before the component test, AddFile only items that apply; the profiles come first, .nwp
// texts before .nwk texts, and only when asked for.
TEST(RunScript, TakesTheListsInOrderAndReportsEveryItem) {
  for (const int applyProfiles : {0, 1}) {
    SCOPED_TRACE(applyProfiles);
    ScratchInstall install(
        "order",
        {{"Z614UI.exe", "MZ user interface"},
         {"Z614.inf", "[Install]\r\nCopyFiles=Drv.Copy\r\n[Models]\r\nHKR,Child0002,1\r\n"},
         {"Sms.exe", "MZ messaging"},
         {"Up.dll", "updated"},
         {"Log.add", "appended\r\n"},
         {"Settings.reg", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Xelta\\Z614Test]\r\n"
                          "\"Level\"=dword:00000003\r\n"},
         {"Z614.ini", "[Network]\r\nApn=internet\r\n"}});
    SetupContext& context = install.Context();
    const std::string target = install.Target();
    CreateDirectoryA(target.c_str(), nullptr);
    WriteTestFile(install.TargetPath("Z614.ini"), "[Network]\r\nApn=old\r\n[Modem]\r\nPort=1\r\n");
    WriteTestFile(install.TargetPath("Log.txt"), "first\r\n");
    const std::string profiles = "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614Test]\r\n";
    context.nwpProfiles.Append(Profile(profiles + "\"Default\"=hex:01,02\r\n"));
    context.nwpProfiles.Append(std::unique_ptr<ProfileText>(new ProfileText));  // did not load
    context.nwkProfiles.Append(Profile(profiles + "\"Default\"=hex:0a,0b,0c\r\n"));
    ASSERT_EQ(install.Parse(
                  "[DisableTextLine.!SC]\r\n%TARGETFOLDER%\\%Zx14%.inf,*Child0002*\r\n"
                  "[AddShellLink.UI]\r\n%TARGETFOLDER%\\Menu\\%LINK_UI%.lnk,"
                  "%TARGETFOLDER%\\%Zx14%UI.exe,%LINKDESC_UI%,,-1\r\n"
                  "[AddFile.SMS]\r\n%SOURCEFOLDER%\\pack.exe:Sms.exe,%TARGETFOLDER%\\Sms.exe\r\n"
                  "[AddFile.UI]\r\n%SOURCEFOLDER%\\pack.exe:%Zx14%UI.exe,%TARGETFOLDER%\\%Zx14%UI.exe\r\n"
                  "%SOURCEFOLDER%\\pack.exe:%Zx14%.inf,%TARGETFOLDER%\\%Zx14%.inf\r\n"
                  "[AppendFile]\r\n" + install.PackReference("Log.add") + ",%TARGETFOLDER%\\Log.txt\r\n"
                  "[UpdateFile.SMS]\r\n" + install.PackReference("Up.dll") + ",%TARGETFOLDER%\\Up.dll\r\n"
                  "[AddRegValue]\r\nHKLM,Software\\Xelta\\Z614Test,RunFirst,REG_DWORD,1\r\n"
                  "[AddRegFile]\r\n" + install.PackReference("Settings.reg") + "\r\n"
                  "[ReplaceIniSection.UI]\r\n" + install.PackReference("Z614.ini") +
                  ",Network,%TARGETFOLDER%\\%Zx14%.ini\r\n"),
              1);
    ASSERT_EQ(context.script.RunItemCount(), 10u);

    ProgressWindow window;
    MessageBoxWatch watch;
    context.RunScript(window.Handle(), kComponentUI, applyProfiles);
    EXPECT_TRUE(watch.Shown().empty());
    const std::vector<std::string> expected = {
        Text("Modifying\r\n%TARGETFOLDER%\\%Zx14%.ini"), Item(0), Item(100), Overall(10),
        Text("Installing\r\n" + install.PackReference("Settings.reg")), Item(0),
        Text("Installing\r\n" + std::string(context.tempFolder) + "Settings.reg"), Item(0),
        Item(100), Overall(20),
        Text("Installing\r\nSoftware\\Xelta\\Z614Test"), Item(0), Item(100), Overall(30),
        Text("Updating\r\n%TARGETFOLDER%\\Up.dll"), Item(0), Item(100), Overall(40),
        Text("Updating\r\n%TARGETFOLDER%\\Log.txt"), Item(0),
        Text("Installing\r\n" + target + "\\Log.txt"), Item(0), Item(100), Overall(50),
        Item(100), Overall(60),  // the messaging program is not selected
        Text("Installing\r\n" + target + "\\Z614UI.exe"), Item(0), Item(100), Overall(70),
        Text("Installing\r\n" + target + "\\Z614.inf"), Item(0), Item(100), Overall(80),
        Text("Installing\r\n" + target + "\\Z614UI.exe"), Item(0), Item(100), Overall(90),
        Text("Updating\r\n" + target + "\\Z614.inf"), Item(0), Item(100), Overall(100),
    };
    EXPECT_EQ(window.Messages(), expected);

    // What each step left.
    EXPECT_EQ(ReadText(install.TargetPath("Z614.ini")), "[Modem]\r\nPort=1\r\n[Network]\r\nApn=internet\r\n");
    EXPECT_EQ(ReadMachineValue("Software\\Xelta\\Z614Test", "Level").data, std::string("\x03\0\0\0", 4));
    EXPECT_EQ(ReadMachineValue("Software\\Xelta\\Z614Test", "RunFirst").data, std::string("\x01\0\0\0", 4));
    EXPECT_EQ(ReadMachineValue("Software\\Xelta\\Z614Test", "Default").data,
              applyProfiles ? "\x0a\x0b\x0c" : "");
    EXPECT_FALSE(PathExists(install.TargetPath("Up.dll")));
    EXPECT_FALSE(PathExists(install.TargetPath("Sms.exe")));
    EXPECT_EQ(ReadText(install.TargetPath("Log.txt")), "first\r\nappended\r\n");
    const std::string inf = "[Install]\r\n; CopyFiles=Drv.Copy\r\n[Models]\r\n;HKR,Child0002,1\r\n";
    EXPECT_EQ(ReadText(install.TargetPath("Z614.inf")), inf);
    EXPECT_TRUE(PathExists(install.TargetPath("Menu\\Xelta Z614.lnk")));

    // Remove.cnf: what was created, in the order it was made, then the closing records: the
    // uninstall script, the target folder and its parents deepest first, the menu folders.
    std::string records = Record("AddFile.UI", "," + target + "\\Z614UI.exe") +
                          Record("AddFile.UI", "," + target + "\\Z614.inf") +
                          Record("AddFile.UI", "," + target + "\\Z614.PNF") +
                          Record("AddShellLink.UI", target + "\\Menu\\Xelta Z614.lnk,,,,") +
                          Record("AddFile.UI", "," + target + "\\Remove.cnf");
    const std::string scratchRoot = install.Folder().substr(0, install.Folder().rfind('\\'));
    for (const std::string& folder : {target, install.Folder(), scratchRoot,
                                      std::string("C:\\z614"), MenuFolder(context),
                                      std::string(context.programsFolder) + "\\Xelta"}) {
      records += Record("AddFolder", folder);
    }
    EXPECT_EQ(install.RemoveScript(), records);

    // The Diagnostics values are the CRCs of the files as they stand after the run: the INF
    // file's after both of its edits.
    EXPECT_EQ(StringData(ReadMachineValue(kDiagnosticsKey, install.TargetPath("Z614UI.exe").c_str())),
              Crc32Text("MZ user interface"));
    EXPECT_EQ(StringData(ReadMachineValue(kDiagnosticsKey, install.TargetPath("Z614.inf").c_str())),
              Crc32Text(inf));
    EXPECT_FALSE(ReadMachineValue(kDiagnosticsKey, install.TargetPath("Z614.ini").c_str()).present);
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Xelta\\Z614Test");
  }
}

// Files first, then shortcuts, then folders, whatever their tags: recorded files (a wildcard
// and a read-only one among them) and the folders that became empty go, even the current
// directory; a file nobody recorded keeps its folder.
TEST(RunUninstall, TakesAwayWhatWasRecordedInItsOrder) {
  ScratchInstall install("uninstall");
  SetupContext& context = install.Context();
  const std::string apps = install.Target();
  const std::string removeCnf = apps + "\\Remove.cnf";
  const std::string menu = install.Path("Menu");
  const std::string kept = install.Path("Kept");
  for (const std::string& folder : {apps, menu, kept}) CreateDirectoryA(folder.c_str(), nullptr);
  for (const char* file : {"a.z61", "b.z62", "Profile.z6x", "User.cfg"}) {
    WriteTestFile(apps + "\\" + file, file);
  }
  WriteTestFile(kept + "\\Keep.txt", "not recorded");
  WriteTestFile(kept + "\\ReadOnly.dll", "read-only");
  SetFileAttributesA((kept + "\\ReadOnly.dll").c_str(), FILE_ATTRIBUTE_READONLY);
  WriteTestFile(menu + "\\A.lnk", "link");
  WriteTestFile(removeCnf, "");
  ASSERT_EQ(context.LoadScript(removeCnf.c_str()), 1);
  ProgressWindow window;
  context.RunUninstall(window.Handle());
  EXPECT_TRUE(window.Messages().empty());  // an empty script sends nothing

  context.AppendUninstallRecord("AddFolder", menu.c_str(), 0);
  context.AppendUninstallRecord("AddShellLink", (menu + "\\A.lnk,,,,").c_str(), kComponentSC);
  context.AppendUninstallRecord("AddFile", ("," + kept + "\\ReadOnly.dll").c_str(), kComponentSMS);
  context.AppendUninstallRecord("AddFile", ",", 0);  // a precache-only line
  context.AppendUninstallRecord("AddFile", ("," + apps + "\\*.z6?").c_str(), 0);
  context.AppendUninstallRecord("AddFile", ("," + removeCnf).c_str(), 1);
  context.AppendUninstallRecord("AddFolder", kept.c_str(), 0);
  context.AppendUninstallRecord("AddFile", std::string(5000, 'x').c_str(), 1);  // beyond its buffer
  ASSERT_EQ(context.LoadScript(removeCnf.c_str()), 1);
  char before[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof before, before);
  ASSERT_TRUE(SetCurrentDirectoryA(menu.c_str()));
  context.RunUninstall(window.Handle());
  SetCurrentDirectoryA(before);

  std::vector<std::string> expected;
  for (const std::string& item : {kept + "\\ReadOnly.dll", std::string(), apps + "\\*.z6?", removeCnf,
                                  menu + "\\A.lnk", menu, kept}) {
    const size_t done = expected.size() / 4 + 1;
    for (const std::string& message : {Text("Removing\r\n" + item), Item(0), Item(100),
                                       Overall(done * 100 / 7)}) {
      expected.push_back(message);
    }
  }
  EXPECT_EQ(window.Messages(), expected);
  for (const char* gone : {"a.z61", "b.z62", "Profile.z6x", "Remove.cnf"}) {
    EXPECT_FALSE(PathExists(apps + "\\" + gone)) << gone;
  }
  EXPECT_TRUE(PathExists(apps + "\\User.cfg"));
  EXPECT_FALSE(PathExists(menu));
  EXPECT_FALSE(PathExists(kept + "\\ReadOnly.dll"));
  EXPECT_TRUE(PathExists(kept + "\\Keep.txt"));

  // A target folder that does not exist is not made for a record.
  CopyText(context.targetFolder, MAX_PATH, install.Path("missing").c_str());
  context.AppendUninstallRecord("AddFile", ",C:\\New\\y", 1);
  EXPECT_FALSE(PathExists(install.Path("missing")));
}

// The old installation goes by its Remove.cnf, the new one comes by the install script, which
// writes a new Remove.cnf; either script may be missing.
TEST(ReplaceInstallation, LeavesExactlyTheSecondInstallation) {
  ScratchInstall install("replace", {{"common.dll", "common"}, {"ui.exe", "ui"}, {"help.hlp", "help"}});
  SetupContext& context = install.Context();
  WriteTestFile(install.Path("Setup.cnf"),
                "[AddFile]\r\n%SOURCEFOLDER%\\pack.exe:common.dll,%TARGETFOLDER%\\common.dll\r\n"
                "[AddFile.UI]\r\n%SOURCEFOLDER%\\pack.exe:ui.exe,%TARGETFOLDER%\\ui.exe\r\n"
                "[AddFile.Help]\r\n%SOURCEFOLDER%\\pack.exe:help.hlp,%TARGETFOLDER%\\help.hlp\r\n");
  const std::string removeCnf = install.TargetPath("Remove.cnf");
  auto installed = [&install] {
    std::string names;
    for (const char* file : {"common.dll", "ui.exe", "help.hlp", "Remove.cnf"}) {
      if (PathExists(install.TargetPath(file))) names += std::string(file) + ";";
    }
    return names;
  };
  context.ReplaceInstallation(nullptr, removeCnf.c_str(), kComponentUI, "Setup.cnf", 0);
  ASSERT_EQ(installed(), "common.dll;ui.exe;Remove.cnf;");

  context.ReplaceInstallation(nullptr, removeCnf.c_str(), kComponentHelp, "Setup.cnf", 0);
  EXPECT_EQ(installed(), "common.dll;help.hlp;Remove.cnf;");
  const std::string records = install.RemoveScript();
  EXPECT_EQ(records.find("ui.exe"), std::string::npos);
  EXPECT_EQ(records.find(Record("AddFile", "," + install.TargetPath("common.dll"))), 0u);
  EXPECT_NE(records.find(Record("AddFile.Help", "," + install.TargetPath("help.hlp"))),
            std::string::npos);
  EXPECT_EQ(context.script.fileItems.Count(), 3u);  // the lists hold the install script afterwards

  context.ReplaceInstallation(nullptr, removeCnf.c_str(), kComponentUI, "Missing.cnf", 0);
  EXPECT_EQ(installed(), "");
}
