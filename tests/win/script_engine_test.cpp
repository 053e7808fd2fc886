// The script engine against the prefix's real files, registry and shell links, where the install
// run scenario does not reach: the order of a run and its progress, refusals, limits, edge cases.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "device/profile_collection.h"
#include "script/load_script.h"
#include "script/registry_import.h"
#include "script/script_actions.h"
#include "tests/win/script_run_support.h"
#include "wizard/wizard_messages.h"

using namespace script_test;

namespace {

// A window of the test's thread that stands for the progress page and keeps the progress
// messages it is sent, as "text: ...", "item N" and "overall N". While it lives, every message
// box the thread shows is kept as "caption: text" with its owner and answered with OK.
std::vector<std::string> progress;
std::vector<std::pair<std::string, HWND>> boxes;
std::string Text(const std::string& text) { return "text: " + text; }
std::string Item(WPARAM value) { return "item " + std::to_string(value); }
std::string Overall(WPARAM value) { return "overall " + std::to_string(value); }

LRESULT CALLBACK RecordProgress(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMsgProgressText) progress.push_back(Text(reinterpret_cast<const char*>(wParam)));
  if (message == kMsgItemProgress) progress.push_back(Item(wParam));
  if (message == kMsgOverallProgress) progress.push_back(Overall(wParam));
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK AnswerBox(int code, WPARAM wParam, LPARAM lParam) {
  HWND box = reinterpret_cast<HWND>(wParam);
  char className[16] = "", caption[256] = "", text[1024] = "";
  if (code == HCBT_ACTIVATE && GetClassNameA(box, className, sizeof className) &&
      lstrcmpA(className, "#32770") == 0) {
    GetWindowTextA(box, caption, sizeof caption);
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    boxes.push_back({std::string(caption) + ": " + text, GetWindow(box, GW_OWNER)});
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct ProgressPage {
  ProgressPage() : hook(SetWindowsHookExA(WH_CBT, AnswerBox, nullptr, GetCurrentThreadId())) {
    progress.clear();
    boxes.clear();
    window = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordProgress));
  }
  ~ProgressPage() {
    DestroyWindow(window);
    UnhookWindowsHookEx(hook);
  }
  HHOOK hook;
  HWND window;
};

// A shortcut's target, description and icon as "target|description|icon,index", read through
// the shell's own link object.
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

std::string Precached(const FileItem* item) {
  if (item == nullptr || !item->precacheData) return "none";
  return std::string(reinterpret_cast<const char*>(item->precacheData.get()), item->precacheSize);
}

}  // namespace

TEST(LoadScript, ReadsTheScriptBesideTheExecutableOrFromTheArchive) {
  ScratchInstall install("load", {{"Setup.cnf", "[AddFile]\r\n:a,%TARGETFOLDER%\\a\r\n:b,\r\n"}});
  SetupContext& context = install.context;
  ASSERT_NE(payloadArchive.Open(install.Path("pack.exe").c_str()), 0);
  WriteTestFile(install.Path("Setup.cnf"), "[AddFile.UI]\r\n:beside.exe,%TARGETFOLDER%\\beside.exe\r\n");
  ASSERT_EQ(context.LoadScript("Setup.cnf"), 1);
  ASSERT_EQ(context.script.fileItems.Count(), 1u);
  EXPECT_STREQ(context.script.fileItems.At(0)->source, ":beside.exe");

  // The entry's temporary copy exists when it is extracted, so the archive is let replace it
  // whatever the caller's flags say; the flags come back as they were.
  ASSERT_TRUE(DeleteFileA(install.Path("Setup.cnf").c_str()));
  payloadArchive.flags = 0;
  const int tempFilesBefore = CountMatching(context.tempFolder, "*.tmp");
  ASSERT_EQ(context.LoadScript("Setup.cnf"), 1);
  EXPECT_EQ(payloadArchive.flags, 0u);
  ASSERT_EQ(context.script.fileItems.Count(), 2u);
  EXPECT_STREQ(context.script.fileItems.At(1)->source, ":b");

  EXPECT_EQ(context.LoadScript("Missing.cnf"), 0);
  EXPECT_EQ(context.LoadScript(install.Path("nowhere\\Remove.cnf").c_str()), 0);
  EXPECT_EQ(context.LoadScript(""), 0);
  EXPECT_EQ(context.script.fileItems.Count(), 2u);
  EXPECT_EQ(CountMatching(context.tempFolder, "*.tmp"), tempFilesBefore);
  // An empty name fetches nothing rather than the whole archive.
  EXPECT_EQ(context.FetchScriptFile("", install.Path("out").c_str()), 0);
  EXPECT_FALSE(PathExists(install.Path("out")));
}

// Only "<precache>" lines are read at load time, the file beside the executable before the
// entry; a missing entry loads without bytes and without a word; a reload reads afresh.
TEST(LoadScript, PrecachesFromBesideTheExecutableOrFromTheArchive) {
  const std::string licence = "Xelta Z614 licence\r\nSecond line\r\n";
  ScratchInstall install("precache", {{"Readme.txt", "read me"}, {"License.txt", licence}});
  SetupContext& context = install.context;
  WriteTestFile(install.Path("Setup.cnf"),
                "[AddFile]\r\n<precache>%SOURCEFOLDER%\\pack.exe:License.txt,\r\n"
                "%SOURCEFOLDER%\\pack.exe:Readme.txt,%TARGETFOLDER%\\Readme.txt\r\n"
                "<precache><optional>%SOURCEFOLDER%\\pack.exe:Missing.txt,\r\n"
                "<precache>:Own.txt,\r\n");
  WriteTestFile(install.Path("License.txt"), "the administrator's licence");
  WriteTestFile(install.Path("Own.txt"), "beside");  // the running executable carries no archive
  ASSERT_EQ(context.LoadScript("Setup.cnf"), 1);
  ASSERT_EQ(context.script.fileItems.Count(), 4u);
  EXPECT_EQ(Precached(FindFileItem(context.script, "license.TXT")), "the administrator's licence");
  EXPECT_EQ(context.script.fileItems.At(1)->precacheData, nullptr);
  EXPECT_EQ(context.script.fileItems.At(2)->precacheData, nullptr);
  EXPECT_EQ(Precached(context.script.fileItems.At(3)), "beside");

  ASSERT_TRUE(DeleteFileA(install.Path("License.txt").c_str()));
  ASSERT_EQ(context.LoadScript("Setup.cnf"), 1);
  const FileItem& first = *context.script.fileItems.At(0);
  EXPECT_EQ(Precached(&first), licence);
  EXPECT_EQ(first.precacheData[first.precacheSize], 0);  // usable as a string
}

// The packed profiles come first, then those beside the setup; a .nwp file beside it without
// the "regedit4" header is passed over, a .nwk file is kept whatever it holds.
TEST(CollectProfiles, PackedOnesFirstThenThoseBesideTheSetup) {
  ScratchInstall install("profiles", {{"A.nwp", "REGEDIT4\r\n"}, {"B.nwk", "packed"}});
  SetupContext& context = install.context;
  ASSERT_NE(payloadArchive.Open(install.Path("pack.exe").c_str()), 0);
  WriteTestFile(install.Path("Site.nwp"), "regedit4\r\nsite");
  WriteTestFile(install.Path("Plain.nwp"), "no registry text");
  WriteTestFile(install.Path("Site.nwk"), "any bytes");
  CollectNwpProfiles(context, payloadArchive);
  CollectNwkProfiles(context, payloadArchive);
  auto listed = [](const OwnedList<ProfileText>& list) {
    std::string names;
    for (size_t i = 0; i < list.Count(); ++i) {
      const ProfileText& text = *list.At(i);
      const char* bytes = reinterpret_cast<const char*>(text.data.get());
      names += std::string(text.name) + "=" + std::string(bytes, text.size) + ";";
    }
    return names;
  };
  EXPECT_EQ(listed(context.nwpProfiles),
            "A.nwp=REGEDIT4\r\n;" + install.Path("Site.nwp") + "=regedit4\r\nsite;");
  EXPECT_EQ(listed(context.nwkProfiles), "B.nwk=packed;" + install.Path("Site.nwk") + "=any bytes;");
}

// What the parser reads (its escapes, continuations and stops are tested natively) lands as
// REG_SZ, REG_DWORD and REG_BINARY values under the right root; a stop keeps what came before.
TEST(ImportRegistryText, WritesEachTypeOfValueUnderItsRoot) {
  const char* key = "SOFTWARE\\Xelta\\Z614Import";
  const std::string text =
      "REGEDIT4\r\n\r\n[hkey_current_user\\Software\\Xelta\\Z614Import]\r\n\"User\"=\"yes\"\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614Import]\r\n\"Name\"=\"Xelta Z614\"\r\n"
      "\"Count\"=dword:0000012c\r\n\"Bytes\"=hex:01,02,ff,10\r\n\"Expand\"=hex(2):41,00\r\n"
      "\"Empty\"=\"\"\r\n[HKEY_NOWHERE\\SOFTWARE]\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614Import]\r\n\"After\"=dword:2\r\n";
  ImportRegistryText(text.data(), text.size());
  char user[16] = "";
  DWORD size = sizeof user;
  SHGetValueA(HKEY_CURRENT_USER, "Software\\Xelta\\Z614Import", "User", nullptr, user, &size);
  EXPECT_EQ(std::string(user, size), std::string("yes\0", 4));
  const struct {
    const char* name;
    DWORD type;
    std::string data;  // strings up to their terminator
  } cases[] = {
      {"Name", REG_SZ, "Xelta Z614"},
      {"Count", REG_DWORD, std::string("\x2c\x01\0\0", 4)},
      {"Bytes", REG_BINARY, std::string("\x01\x02\xff\x10", 4)},
      {"Expand", REG_BINARY, std::string("A\0", 2)},  // binary whatever the prefix names
      {"Empty", REG_SZ, ""},
      {"After", REG_NONE, ""},
  };
  for (const auto& c : cases) {
    const RegistryValue v = ReadMachineValue(key, c.name);
    EXPECT_EQ(v.type, c.type) << c.name;
    EXPECT_EQ(c.type == REG_SZ ? std::string(v.data.c_str()) : v.data, c.data) << c.name;
  }
  ImportRegistryFile("C:\\z614\\missing.reg");  // a file that cannot be read does nothing
  ImportRegistryFile("C:\\");
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, key);
  SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Xelta\\Z614Import");
}

// One item of every list, written against the order of the run; UpdateFile announces its item
// before the component test, AddFile only items that apply; profiles only when asked for.
TEST(RunScript, TakesTheListsInOrderAndReportsEveryItem) {
  for (const int applyProfiles : {0, 1}) {
    SCOPED_TRACE(applyProfiles);
    ScratchInstall install(
        "order", {{"Z614UI.exe", "MZ user interface"}, {"Sms.exe", "MZ messaging"}, {"Up.dll", "up"},
                  {"Z614.inf", "[Install]\r\nCopyFiles=Drv.Copy\r\n[Models]\r\nHKR,Child0002,1\r\n"},
                  {"Log.add", "appended\r\n"}, {"Z614.ini", "[Network]\r\nApn=internet\r\n"},
                  {"Settings.reg", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\Software\\Xelta\\Z614Test]\r\n"
                                   "\"Level\"=dword:00000003\r\n"}});
    SetupContext& context = install.context;
    const std::string target = install.Target();
    CreateDirectoryA(target.c_str(), nullptr);
    WriteTestFile(install.TargetPath("Z614.ini"), "[Network]\r\nApn=old\r\n[Modem]\r\nPort=1\r\n");
    WriteTestFile(install.TargetPath("Log.txt"), "first\r\n");
    WriteTestFile(install.TargetPath("Z614UI.exe"), "old version");  // read-only: it goes first
    SetFileAttributesA(install.TargetPath("Z614UI.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    const std::string profile =
        "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614Test]\r\n\"Default\"=hex:0a,0b,0c\r\n";
    context.nwpProfiles.Append(std::unique_ptr<ProfileText>(new ProfileText));  // did not load
    context.nwkProfiles.Append(std::unique_ptr<ProfileText>(new ProfileText));
    context.nwkProfiles.At(0)->data.reset(new uint8_t[profile.size()]);
    memcpy(context.nwkProfiles.At(0)->data.get(), profile.data(), profile.size());
    context.nwkProfiles.At(0)->size = static_cast<uint32_t>(profile.size());
    ASSERT_EQ(install.Parse(
                  "[DisableTextLine.!SC]\r\n%TARGETFOLDER%\\%Zx14%.inf,*Child0002*\r\n"
                  "[AddShellLink.UI]\r\n%TARGETFOLDER%\\Menu\\%LINK_UI%.lnk,"
                  "%TARGETFOLDER%\\%Zx14%UI.exe,%LINKDESC_UI%,%TARGETFOLDER%\\%Zx14%UI.exe,0\r\n"
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

    ProgressPage page;
    context.RunScript(page.window, kComponentUI, applyProfiles);
    EXPECT_TRUE(boxes.empty());
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
    EXPECT_EQ(progress, expected);

    EXPECT_EQ(ReadText(install.TargetPath("Z614.ini")),
              "[Modem]\r\nPort=1\r\n[Network]\r\nApn=internet\r\n");
    const char* key = "Software\\Xelta\\Z614Test";
    EXPECT_EQ(ReadMachineValue(key, "Level").data, std::string("\x03\0\0\0", 4));
    EXPECT_EQ(ReadMachineValue(key, "RunFirst").data, std::string("\x01\0\0\0", 4));
    EXPECT_EQ(ReadMachineValue(key, "Default").data, applyProfiles ? "\x0a\x0b\x0c" : "");
    EXPECT_EQ(ReadText(install.TargetPath("Log.txt")), "first\r\nappended\r\n");
    const std::string inf = "[Install]\r\n; CopyFiles=Drv.Copy\r\n[Models]\r\n;HKR,Child0002,1\r\n";
    EXPECT_EQ(ReadText(install.TargetPath("Z614.inf")), inf);
    EXPECT_EQ(ReadText(install.TargetPath("Z614UI.exe")), "MZ user interface");
    EXPECT_EQ(LinkFields(target + "\\Menu\\Xelta Z614.lnk"),
              target + "\\Z614UI.exe|Allows you to establish network connections, manage profiles, "
                       "configure settings, view network status, and more.|" + target + "\\Z614UI.exe,0");

    // Remove.cnf: what was created, in the order it was made, then the closing records: the
    // uninstall script, the target folder and its parents deepest first, the menu folders.
    std::string records = Record("AddFile.UI", "," + target + "\\Z614UI.exe") +
                          Record("AddFile.UI", "," + target + "\\Z614.inf") +
                          Record("AddFile.UI", "," + target + "\\Z614.PNF") +
                          Record("AddShellLink.UI", target + "\\Menu\\Xelta Z614.lnk,,,,") +
                          Record("AddFile.UI", "," + target + "\\Remove.cnf");
    const std::string scratchRoot = install.folder.substr(0, install.folder.rfind('\\'));
    for (const std::string& folder : {target, install.folder, scratchRoot,
                                      std::string("C:\\z614"),
                                      std::string(context.programsFolder) + "\\Xelta\\Xelta Z614",
                                      std::string(context.programsFolder) + "\\Xelta"}) {
      records += Record("AddFolder", folder);
    }
    EXPECT_EQ(install.RemoveScript(), records);

    SHDeleteKeyA(HKEY_LOCAL_MACHINE, key);
  }
}

// Files, then shortcuts, then folders, whatever their tags: recorded files (by a wildcard, or
// read-only) and the folders that became empty go, even the current directory.
TEST(RunUninstall, TakesAwayWhatWasRecordedInItsOrder) {
  ScratchInstall install("uninstall");
  SetupContext& context = install.context;
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
  context.AppendUninstallRecord("AddFolder", menu.c_str(), 0);
  context.AppendUninstallRecord("AddShellLink", (menu + "\\A.lnk,,,,").c_str(), kComponentSC);
  context.AppendUninstallRecord("AddFile", ("," + kept + "\\ReadOnly.dll").c_str(), kComponentSMS);
  context.AppendUninstallRecord("AddFile", ",", 0);  // a precache-only line
  context.AppendUninstallRecord("AddFile", ("," + apps + "\\*.z6?").c_str(), 0);
  context.AppendUninstallRecord("AddFile", ("," + removeCnf).c_str(), 1);
  context.AppendUninstallRecord("AddFolder", kept.c_str(), 0);
  context.AppendUninstallRecord("AddFile", std::string(5000, 'x').c_str(), 1);  // beyond its buffer
  ASSERT_EQ(context.LoadScript(removeCnf.c_str()), 1);
  ProgressPage page;
  char before[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof before, before);
  ASSERT_TRUE(SetCurrentDirectoryA(menu.c_str()));
  context.RunUninstall(page.window);
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
  EXPECT_EQ(progress, expected);
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
  SetupContext& context = install.context;
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
  EXPECT_EQ(install.RemoveScript().find("ui.exe"), std::string::npos);
  EXPECT_EQ(install.RemoveScript().find(Record("AddFile.Help", "," + install.TargetPath("help.hlp"))),
            Record("AddFile", "," + install.TargetPath("common.dll")).size());
  EXPECT_EQ(context.script.fileItems.Count(), 3u);  // the lists hold the install script afterwards

  context.ReplaceInstallation(nullptr, removeCnf.c_str(), kComponentUI, "Missing.cnf", 0);
  EXPECT_EQ(installed(), "");
}

// The message shows only for lines without "<optional>" and only with a window. A missing
// entry to append, import or take an INI section from, an INI file that is not there and a
// shortcut to a missing target change nothing without a word.
TEST(RunScript, ShowsTheMissingFileMessageOnlyWithAWindowAndWithoutOptional) {
  const std::string addFile =
      "[AddFile]\r\n%SOURCEFOLDER%\\pack.exe:Missing.dll,%TARGETFOLDER%\\Missing.dll";
  const struct {
    std::string script;  // "@" stands for the packed file as a rooted path
    bool window;
    const char* missing;  // nullptr: no message; "": the file beside the setup
  } cases[] = {
      {addFile, true, "Missing.dll"},
      {addFile, false, nullptr},
      {addFile + "<optional>", true, nullptr},
      {"[AddFile]\r\n%SOURCEFOLDER%\\Missing.txt,%TARGETFOLDER%\\Missing.txt", true, ""},
      {"[UpdateFile]\r\n@Missing.sys,%TARGETFOLDER%\\Missing.sys", true, "Missing.sys"},
      {"[AppendFile]\r\n@Missing.add,%TARGETFOLDER%\\Missing.txt", true, nullptr},
      {"[AddRegFile]\r\n@..\\Missing.reg", true, nullptr},  // never outside the temp folder
      {"[ReplaceIniSection]\r\n@Z614.ini,Network,%TARGETFOLDER%\\Missing.txt", true, nullptr},
      {"[AddFile]\r\n%SOURCEFOLDER%\\pack.exe:Z614.ini,%TARGETFOLDER%\\Missing*.txt", true,
       "Z614.ini"},  // a destination with wildcards names no file: the entry counts as missing
      {"[AddShellLink]\r\n%TARGETFOLDER%\\Missing.lnk,%TARGETFOLDER%\\Gone.exe,,,0", true, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    ScratchInstall install("missing", {{"Z614.ini", "[Network]\r\nApn=internet\r\n"}});
    std::string script = c.script;
    if (script.find('@') != std::string::npos) {
      script.replace(script.find('@'), 1, install.PackReference(""));
    }
    ASSERT_EQ(install.Parse(script), 1);
    ProgressPage page;
    install.context.RunScript(c.window ? page.window : nullptr, kAllComponents, 0);
    ASSERT_EQ(boxes.size(), c.missing != nullptr ? 1u : 0u);
    if (c.missing != nullptr) {
      const std::string name = *c.missing != '\0' ? c.missing : install.Path("Missing.txt");
      EXPECT_EQ(boxes[0].first, "Xelta Z614: The file is not in the package: " + name);
      EXPECT_EQ(boxes[0].second, page.window);
    }
    EXPECT_EQ(install.RemoveScript().find("Missing"), std::string::npos);
    EXPECT_FALSE(PathExists(install.TargetPath("Missing.txt")));
    EXPECT_FALSE(PathExists(install.TargetPath("Missing.lnk")));
    EXPECT_FALSE(PathExists(std::string(install.context.tempFolder) + "..\\Missing.reg"));
  }
}

TEST(SetTextLines, SwitchesMatchingPiecesAndRefusesWhatNamesNoFile) {
  const std::string longLine = "Child0002=" + std::string(290, 'x');
  const struct {
    std::string text;
    const char* pattern;
    int enable;
    std::string expected;
  } cases[] = {
      {";;HKR,Child0002,1\r\nHKR,Child0002,2\r\n;other\r\n", "*child0002*", 1,
       ";HKR,Child0002,1\r\nHKR,Child0002,2\r\n;other\r\n"},
      {"HKR,Child0002\r\n;HKR,Child0002", "*Child0002", 0, "HKR,Child0002\r\n;;HKR,Child0002"},
      {longLine + "\r\n", "*Child0002*", 0, ";" + longLine + "\r\n"},  // edited piece by piece
  };
  ScratchInstall install("textlines");
  const SetupContext& context = install.context;
  const std::string file = install.Path("Z614.inf");
  const int textTempFiles = CountMatching(context.tempFolder, "tex*");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 40));
    WriteTestFile(file, c.text);
    EXPECT_EQ(SetTextLines(context, file.c_str(), c.pattern, c.enable), 1);
    EXPECT_EQ(ReadText(file), c.expected);
  }
  EXPECT_EQ(CountMatching(context.tempFolder, "tex*"), textTempFiles);
  EXPECT_EQ(SetTextLines(context, "", "*", 0), 0);
  EXPECT_EQ(SetTextLines(context, file.c_str(), "", 0), 0);
  EXPECT_EQ(SetTextLines(context, install.Path("Absent.inf").c_str(), "*", 0), 0);
  EXPECT_FALSE(PathExists(install.Path("Absent.inf")));
  EXPECT_EQ(DisableInfCopyFiles(context, ""), 0);
  EXPECT_EQ(DisableInfCopyFiles(context, install.Path("Absent.inf").c_str()), 0);
}
