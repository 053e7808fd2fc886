// A whole install run against the prefix's real files, registry and shell links: the order of
// the ten steps with the progress the page sees, Remove.cnf byte for byte, the Diagnostics
// values against the installed files, the profile texts, and the run without a window.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "tests/win/script_run_support.h"

using namespace script_test;

namespace {

const std::vector<PackedEntry>& OrderPayload() {
  static const std::vector<PackedEntry> payload = {
      {"Z614UI.exe", "MZ user interface"},
      {"Z614.inf", "[Install]\r\nCopyFiles=Drv.Copy\r\n[Models]\r\nHKR,Child0002,1\r\n"},
      {"Sms.exe", "MZ messaging"},
      {"Up.dll", "updated"},
      {"Log.add", "appended\r\n"},
      {"Settings.reg", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Xelta\\Z614Test]\r\n\"Level\"=dword:00000003\r\n"},
      {"Z614.ini", "[Network]\r\nApn=internet\r\n"},
  };
  return payload;
}

// One item of every list, the sections written against the order of the run, and one item in
// a list that announces itself before the component test (UpdateFile) and one in a list that
// announces only items that apply (AddFile) left out by the selection.
std::string OrderScript(const ScratchInstall& install) {
  return "[DisableTextLine.!SC]\r\n%TARGETFOLDER%\\%Zx14%.inf,*Child0002*\r\n"
         "[AddShellLink.UI]\r\n%TARGETFOLDER%\\Menu\\%LINK_UI%.lnk,%TARGETFOLDER%\\%Zx14%UI.exe,%LINKDESC_UI%,,-1\r\n"
         "[AddFile.SMS]\r\n%SOURCEFOLDER%\\pack.exe:Sms.exe,%TARGETFOLDER%\\Sms.exe\r\n"
         "[AddFile.UI]\r\n%SOURCEFOLDER%\\pack.exe:%Zx14%UI.exe,%TARGETFOLDER%\\%Zx14%UI.exe\r\n"
         "%SOURCEFOLDER%\\pack.exe:%Zx14%.inf,%TARGETFOLDER%\\%Zx14%.inf\r\n"
         "[AppendFile]\r\n" + install.PackReference("Log.add") + ",%TARGETFOLDER%\\Log.txt\r\n"
         "[UpdateFile.SMS]\r\n" + install.PackReference("Up.dll") + ",%TARGETFOLDER%\\Up.dll\r\n"
         "[AddRegValue]\r\nHKLM,Software\\Xelta\\Z614Test,RunFirst,REG_DWORD,1\r\n"
         "[AddRegFile]\r\n" + install.PackReference("Settings.reg") + "\r\n"
         "[ReplaceIniSection.UI]\r\n" + install.PackReference("Z614.ini") + ",Network,%TARGETFOLDER%\\%Zx14%.ini\r\n";
}

std::string MenuFolder(const SetupContext& context) {
  return std::string(context.programsFolder) + "\\Xelta\\Xelta Z614";
}

// The records every run ends with: the uninstall script itself, the target folder and its
// parents below the drive, the program-menu folder and the maker's folder above it.
std::string ClosingRecords(const SetupContext& context, const std::vector<std::string>& folders) {
  std::string records = Record("AddFile.UI", "," + std::string(context.targetFolder) + "\\Remove.cnf");
  for (const std::string& folder : folders) records += Record("AddFolder", folder);
  records += Record("AddFolder", MenuFolder(context));
  records += Record("AddFolder", std::string(context.programsFolder) + "\\Xelta");
  return records;
}

}  // namespace

TEST(RunScript, AnEmptyScriptSendsNothingAndStillWritesTheClosingRecords) {
  ScratchInstall install("empty");
  CopyText(install.Context().targetFolder, MAX_PATH, install.Path("A\\B").c_str());
  CreateDirectoryA(install.Path("A").c_str(), nullptr);
  CreateDirectoryA(install.Path("A\\B").c_str(), nullptr);
  ASSERT_EQ(install.Parse(""), 1);
  ProgressWindow window;
  install.Context().RunScript(window.Handle(), kAllComponents, 0);

  EXPECT_TRUE(window.Messages().empty());
  EXPECT_EQ(ReadText(install.Path("A\\B\\Remove.cnf")),
            ClosingRecords(install.Context(), {install.Path("A\\B"), install.Path("A"), install.Folder(),
                                               "C:\\z614\\run", "C:\\z614"}));
}

TEST(RunScript, TakesTheListsInOrderAndReportsEveryItem) {
  ScratchInstall install("order", OrderPayload());
  SetupContext& context = install.Context();
  CreateDirectoryA(install.Target().c_str(), nullptr);
  WriteTestFile(install.TargetPath("Z614.ini"), "[Network]\r\nApn=old\r\n[Modem]\r\nPort=1\r\n");
  WriteTestFile(install.TargetPath("Log.txt"), "first\r\n");
  ASSERT_EQ(install.Parse(OrderScript(install)), 1);
  ASSERT_EQ(context.script.RunItemCount(), 10u);

  ProgressWindow window;
  MessageBoxWatch watch;
  context.RunScript(window.Handle(), kComponentUI, 0);
  EXPECT_TRUE(watch.Stop().empty());

  const std::string target = install.Target();
  const std::string temporaryRegistryText = std::string(context.tempFolder) + "Settings.reg";
  const std::vector<ProgressMessage> expected = {
      Text("Modifying\r\n%TARGETFOLDER%\\%Zx14%.ini"), Item(0), Item(100), Overall(10),
      Text("Installing\r\n" + install.PackReference("Settings.reg")), Item(0),
      Text("Installing\r\n" + temporaryRegistryText), Item(0), Item(100), Overall(20),
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
  EXPECT_FALSE(PathExists(install.TargetPath("Up.dll")));
  EXPECT_FALSE(PathExists(install.TargetPath("Sms.exe")));
  EXPECT_EQ(ReadText(install.TargetPath("Log.txt")), "first\r\nappended\r\n");
  const std::string inf = "[Install]\r\n; CopyFiles=Drv.Copy\r\n[Models]\r\n;HKR,Child0002,1\r\n";
  EXPECT_EQ(ReadText(install.TargetPath("Z614.inf")), inf);
  EXPECT_TRUE(PathExists(install.TargetPath("Menu\\Xelta Z614.lnk")));

  // Remove.cnf: what was created, in the order it was made, then the closing records.
  EXPECT_EQ(install.RemoveScript(),
            Record("AddFile.UI", "," + target + "\\Z614UI.exe") + Record("AddFile.UI", "," + target + "\\Z614.inf") +
                Record("AddFile.UI", "," + target + "\\Z614.PNF") +
                Record("AddShellLink.UI", target + "\\Menu\\Xelta Z614.lnk,,,,") +
                ClosingRecords(context, {target, install.Folder(), "C:\\z614\\run", "C:\\z614"}));

  // The Diagnostics values are the CRCs of the files as they stand after the run: the INF
  // file's after both of its edits.
  EXPECT_EQ(StringData(ReadMachineValue(kDiagnosticsKey, install.TargetPath("Z614UI.exe").c_str())),
            Crc32Text("MZ user interface"));
  EXPECT_EQ(StringData(ReadMachineValue(kDiagnosticsKey, install.TargetPath("Z614.inf").c_str())), Crc32Text(inf));
  EXPECT_FALSE(ReadMachineValue(kDiagnosticsKey, install.TargetPath("Z614.ini").c_str()).present);

  SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Xelta\\Z614Test");
}

TEST(RunScript, AppliesTheProfileTextsOnlyWhenAskedNwpFirst) {
  for (const int applyProfiles : {0, 1}) {
    SCOPED_TRACE(applyProfiles);
    ScratchInstall install("profiles");
    SetupContext& context = install.Context();
    const std::string texts[] = {
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614Test\\Profiles]\r\n\"Default\"=hex:01,02\r\n",
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614Test\\Profiles]\r\n\"Default\"=hex:0a,0b,0c\r\n",
    };
    OwnedList<ProfileText>* lists[] = {&context.nwpProfiles, &context.nwkProfiles};
    for (int i = 0; i < 2; ++i) {
      std::unique_ptr<ProfileText> profile(new ProfileText);
      profile->data.reset(new uint8_t[texts[i].size()]);
      memcpy(profile->data.get(), texts[i].data(), texts[i].size());
      profile->size = static_cast<uint32_t>(texts[i].size());
      lists[i]->Append(std::move(profile));
    }
    ASSERT_EQ(install.Parse(""), 1);
    context.RunScript(nullptr, kAllComponents, applyProfiles);

    const RegistryValue value = ReadMachineValue("SOFTWARE\\Xelta\\Z614Test\\Profiles", "Default");
    EXPECT_EQ(value.present, applyProfiles != 0);
    if (applyProfiles) {
      EXPECT_EQ(value.data, "\x0a\x0b\x0c");  // the second list wins
    }
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Xelta\\Z614Test");
  }
}
