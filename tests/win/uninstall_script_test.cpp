// The uninstall script under Wine: AppendUninstallRecord writing to a real Remove.cnf (the
// record texts for every mask are tested natively), and RunUninstall of a loaded Remove.cnf
// taking away files (wildcards and read-only files included), shortcuts and empty folders,
// leaving what it did not record and folders that are not empty, with and without a window;
// ReplaceInstallation leaving exactly the second installation.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/globals.h"
#include "core/bounded_string.h"
#include "script/uninstall_script.h"
#include "sys/setup_context.h"
#include "tests/win/script_run_support.h"

namespace {

using namespace script_test;

void AppendRecord(SetupContext& context, const char* action, const std::string& line, ComponentSet mask) {
  context.AppendUninstallRecord(action, line.c_str(), mask);
}

struct Target {
  explicit Target(const char* name) : scratch(name) {
    CopyText(context.targetFolder, sizeof context.targetFolder, scratch.folder.c_str());
  }
  std::string RemoveCnf() const { return scratch.Path("Remove.cnf"); }
  Scratch scratch;
  SetupContext context;
};

TEST(AppendUninstallRecord, AppendsEachRecordToRemoveCnfAndDropsWhatItCannotWrite) {
  Target t("uninst_append");
  ASSERT_TRUE(WriteTestFile(t.RemoveCnf(), "[AddFolder]\r\nC:\\Old\r\n\r\n"));
  AppendRecord(t.context, "AddFile", ",C:\\New\\x", kComponentUI);
  AppendRecord(t.context, "AddShellLink", "C:\\Menu\\SC.lnk,,,,", kComponentSC | kComponentDriver);
  AppendRecord(t.context, "AddFile", ",C:\\Apps\\All.dll", 63);
  const std::string expected =
      "[AddFolder]\r\nC:\\Old\r\n\r\n[AddFile.UI]\r\n,C:\\New\\x\r\n\r\n"
      "[AddShellLink.Driver.SC]\r\nC:\\Menu\\SC.lnk,,,,\r\n\r\n[AddFile]\r\n,C:\\Apps\\All.dll\r\n\r\n";
  EXPECT_EQ(ReadText(t.RemoveCnf()), expected);

  // A target folder that does not exist: nothing is written, nothing is reported.
  CopyText(t.context.targetFolder, sizeof t.context.targetFolder, t.scratch.Path("missing").c_str());
  AppendRecord(t.context, "AddFile", ",C:\\New\\y", 1);
  EXPECT_FALSE(PathExists(t.scratch.Path("missing")));

  // A record the core refuses (beyond its buffer) is dropped whole.
  CopyText(t.context.targetFolder, sizeof t.context.targetFolder, t.scratch.folder.c_str());
  AppendRecord(t.context, "AddFile", std::string(5000, 'x'), 1);
  EXPECT_EQ(ReadText(t.RemoveCnf()), expected);
}

// An installation in the scratch folder: files, a shortcut folder and the records of an
// install, written through AppendUninstallRecord as the run writes them, then loaded back.
struct Installed : Target {
  explicit Installed(const char* name) : Target(name) {
    apps = scratch.Path("Program Files\\Xelta\\Z614");
    menu = scratch.Path("Programs\\Xelta\\Xelta Z614");
    for (const std::string& folder : {scratch.Path("Program Files"), scratch.Path("Program Files\\Xelta"), apps,
                                      scratch.Path("Programs"), scratch.Path("Programs\\Xelta"), menu,
                                      scratch.Path("Kept")}) {
      CreateDirectoryA(folder.c_str(), nullptr);
    }
    CopyText(context.targetFolder, sizeof context.targetFolder, apps.c_str());
    for (const char* file : {"Z614UI.exe", "Z614UI.hlp", "Z614UI.GID", "a.z61", "b.z62", "Profile.z6x"}) {
      WriteTestFile(apps + "\\" + file, file);
    }
    WriteTestFile(scratch.Path("Kept\\Keep.txt"), "not recorded");
    WriteTestFile(scratch.Path("Kept\\ReadOnly.dll"), "read-only");
    SetFileAttributesA(scratch.Path("Kept\\ReadOnly.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    WriteTestFile(menu + "\\Xelta Z614.lnk", "link");
    WriteTestFile(menu + "\\Help.lnk", "link");

    AppendRecord(context, "AddFile", "," + apps + "\\Z614UI.exe", kComponentUI);
    AppendRecord(context, "AddFile", "," + apps + "\\Z614UI.hlp", kComponentHelp);
    AppendRecord(context, "AddFile", "," + apps + "\\Z614UI.GID", kComponentHelp);
    AppendRecord(context, "AddFile", ",", 0);  // a precache-only line
    AppendRecord(context, "AddFile", "," + scratch.Path("Kept\\ReadOnly.dll"), 2);
    AppendRecord(context, "AddShellLink", menu + "\\Xelta Z614.lnk,,,,", kComponentUI);
    AppendRecord(context, "AddShellLink", menu + "\\Help.lnk,,,,", kComponentHelp);
    AppendRecord(context, "AddFile", "," + apps + "\\Remove.cnf", 1);
    for (const std::string& folder : {apps, scratch.Path("Program Files\\Xelta"), scratch.Path("Program Files"),
                                      menu, scratch.Path("Programs\\Xelta"), scratch.Path("Kept")}) {
      AppendRecord(context, "AddFolder", folder, 0);
    }
    AppendRecord(context, "AddFile", "," + apps + "\\*.z6?", 0);
    removeCnf = apps + "\\Remove.cnf";
  }
  int Load() { return context.LoadScript(removeCnf.c_str()); }
  std::string apps;
  std::string menu;
  std::string removeCnf;
};

TEST(RunUninstall, TakesAwayEveryRecordedFileShortcutAndEmptyFolder) {
  Installed i("uninst_run");
  ASSERT_EQ(i.Load(), 1);
  EXPECT_EQ(i.context.script.fileItems.Count(), 7u);
  EXPECT_EQ(i.context.script.shellLinkItems.Count(), 2u);
  EXPECT_EQ(i.context.script.folderItems.Count(), 6u);
  char before[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof before, before);
  i.context.RunUninstall(nullptr);
  char after[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof after, after);
  EXPECT_STREQ(after, before);

  // Recorded files, the wildcard's matches, the shortcuts and Remove.cnf itself are gone; so
  // are the folders that became empty, deepest first as recorded.
  EXPECT_FALSE(PathExists(i.scratch.Path("Program Files")));
  EXPECT_FALSE(PathExists(i.scratch.Path("Programs\\Xelta")));
  EXPECT_TRUE(PathExists(i.scratch.Path("Programs")));  // not recorded
  EXPECT_FALSE(PathExists(i.scratch.Path("Kept\\ReadOnly.dll")));
  // A folder that still holds a file it did not record stays, with the file.
  EXPECT_TRUE(PathExists(i.scratch.Path("Kept\\Keep.txt")));
}

TEST(RunUninstall, LeavesFilesThatDoNotMatchTheWildcardAndRemovesTheCurrentDirectory) {
  Installed i("uninst_wildcard");
  WriteTestFile(i.apps + "\\User.cfg", "made by the user");
  ASSERT_EQ(i.Load(), 1);
  char before[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof before, before);
  ASSERT_TRUE(SetCurrentDirectoryA(i.menu.c_str()));  // a recorded folder in use is still removed
  i.context.RunUninstall(nullptr);
  SetCurrentDirectoryA(before);
  for (const char* gone : {"a.z61", "b.z62", "Profile.z6x", "Remove.cnf"}) {
    EXPECT_FALSE(PathExists(i.apps + "\\" + gone)) << gone;
  }
  EXPECT_TRUE(PathExists(i.apps + "\\User.cfg"));
  EXPECT_FALSE(PathExists(i.menu));
}

TEST(RunUninstall, ReportsEachItemToAWindowAndIgnoresTags) {
  Target t("uninst_progress");
  const std::string a = t.scratch.Path("a.txt");
  const std::string link = t.scratch.Path("A.lnk");
  const std::string folder = t.scratch.Path("Empty");
  WriteTestFile(a, "a");
  WriteTestFile(link, "l");
  CreateDirectoryA(folder.c_str(), nullptr);
  {
    // An empty script sends nothing and removes nothing.
    ASSERT_TRUE(WriteTestFile(t.RemoveCnf(), ""));
    ASSERT_EQ(t.context.LoadScript(t.RemoveCnf().c_str()), 1);
    ProgressWindow window;
    t.context.RunUninstall(window.Handle());
    EXPECT_TRUE(window.Messages().empty());
    EXPECT_TRUE(PathExists(t.RemoveCnf()));
  }
  AppendRecord(t.context, "AddFile", "," + a, kComponentSMS);
  AppendRecord(t.context, "AddShellLink", link + ",,,,", kComponentSC);
  AppendRecord(t.context, "AddFolder", folder, 0);
  AppendRecord(t.context, "AddFile", "," + t.RemoveCnf(), 1);
  ASSERT_EQ(t.context.LoadScript(t.RemoveCnf().c_str()), 1);

  ProgressWindow window;
  t.context.RunUninstall(window.Handle());
  const std::vector<ProgressMessage> expected = {
      Text("Removing\r\n" + a), Item(0), Item(100), Overall(25),
      Text("Removing\r\n" + t.RemoveCnf()), Item(0), Item(100), Overall(50),
      Text("Removing\r\n" + link), Item(0), Item(100), Overall(75),
      Text("Removing\r\n" + folder), Item(0), Item(100), Overall(100)};
  EXPECT_EQ(window.Messages(), expected);
  for (const std::string& path : {a, link, folder, t.RemoveCnf()}) EXPECT_FALSE(PathExists(path)) << path;
}

// ---- ReplaceInstallation: the old installation taken away by its Remove.cnf, the new one
// installed by the install script, which writes a new Remove.cnf ----

struct Replacing : SourceFolder {
  explicit Replacing(const char* name) : SourceFolder(name) {
    CreateDirectoryA(scratch.Path("Apps").c_str(), nullptr);
    CopyText(context.targetFolder, sizeof context.targetFolder, scratch.Path("Apps").c_str());
    Beside("Payload.exe", Packed({{"common.dll", "common"}, {"ui.exe", "ui"}, {"help.hlp", "help"}}));
    Beside("Setup.cnf",
           "[AddFile]\r\n%SOURCEFOLDER%\\Payload.exe:common.dll,%TARGETFOLDER%\\common.dll\r\n"
           "[AddFile.UI]\r\n%SOURCEFOLDER%\\Payload.exe:ui.exe,%TARGETFOLDER%\\ui.exe\r\n"
           "[AddFile.Help]\r\n%SOURCEFOLDER%\\Payload.exe:help.hlp,%TARGETFOLDER%\\help.hlp\r\n");
  }
  std::string Installed() const {
    std::string names;
    for (const char* file : {"common.dll", "ui.exe", "help.hlp", "Remove.cnf"}) {
      if (PathExists(scratch.Path(std::string("Apps\\") + file))) names += std::string(file) + ";";
    }
    return names;
  }
  std::string RemoveCnf() const { return scratch.Path("Apps\\Remove.cnf"); }
};

TEST(ReplaceInstallation, LeavesExactlyTheSecondInstallation) {
  Replacing r("replace_selection");
  ASSERT_EQ(r.context.LoadScript("Setup.cnf"), 1);
  r.context.RunScript(nullptr, kComponentUI, 0);
  ASSERT_EQ(r.Installed(), "common.dll;ui.exe;Remove.cnf;");

  r.context.ReplaceInstallation(nullptr, r.RemoveCnf().c_str(), kComponentHelp, "Setup.cnf", 0);
  EXPECT_EQ(r.Installed(), "common.dll;help.hlp;Remove.cnf;");
  const std::string records = ReadText(r.RemoveCnf());
  EXPECT_EQ(records.find("ui.exe"), std::string::npos);
  EXPECT_EQ(records.find("[AddFile]\r\n," + r.scratch.Path("Apps\\common.dll") + "\r\n\r\n"), 0u);
  EXPECT_NE(records.find("[AddFile.Help]\r\n," + r.scratch.Path("Apps\\help.hlp") + "\r\n\r\n"), std::string::npos);
  EXPECT_EQ(r.context.script.fileItems.Count(), 3u);  // the lists hold the install script afterwards
}

TEST(ReplaceInstallation, WithoutAnUninstallScriptStillInstallsAndWithoutAnInstallScriptOnlyRemoves) {
  {
    Replacing r("replace_no_remove");
    r.context.ReplaceInstallation(nullptr, r.RemoveCnf().c_str(), kComponentUI, "Setup.cnf", 0);
    EXPECT_EQ(r.Installed(), "common.dll;ui.exe;Remove.cnf;");
  }
  Replacing r("replace_no_setup");
  ASSERT_EQ(r.context.LoadScript("Setup.cnf"), 1);
  r.context.RunScript(nullptr, 0, 0);
  ASSERT_EQ(r.Installed(), "common.dll;ui.exe;help.hlp;Remove.cnf;");
  r.context.ReplaceInstallation(nullptr, r.RemoveCnf().c_str(), kComponentUI, "Missing.cnf", 0);
  EXPECT_EQ(r.Installed(), "");
}

}  // namespace
