// LoadScript and FetchScriptFile against real files and packed archives: the script beside the
// started executable wins over the archive entry, a full path is read as itself, a failed load
// leaves the lists alone and no temporary file behind, sections are selected for the running
// system, and "<precache>" sources are read at load time, beside the executable first.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/globals.h"
#include "app/os_version.h"
#include "core/bounded_string.h"
#include "script/load_script.h"
#include "sys/setup_context.h"
#include "tests/win/script_run_support.h"
#include "tests/win/wine_version.h"

namespace {

using namespace script_test;

const char kPackedScript[] =
    "[AddFile]\r\n:packed1.exe,%TARGETFOLDER%\\packed1.exe\r\n"
    ":packed2.exe,%TARGETFOLDER%\\packed2.exe\r\n[AddFolder]\r\nC:\\Packed\r\n";

// A source folder and a packed file opened as the payload.
struct Loader : SourceFolder {
  explicit Loader(const char* name, const std::vector<PackedEntry>& packed = {}) : SourceFolder(name) {
    WriteTestFile(scratch.Path("Packed.exe"), Packed(packed));
    opened = payloadArchive.Open(scratch.Path("Packed.exe").c_str());
  }
  int opened = 0;
};

TEST(LoadScript, TheScriptBesideTheExecutableWinsOverTheArchiveEntry) {
  Loader l("load_beside", {{"Setup.cnf", kPackedScript}});
  ASSERT_NE(l.opened, 0);
  l.Beside("Setup.cnf", "[AddFile.UI]\r\n:beside.exe,%TARGETFOLDER%\\beside.exe\r\n");
  ASSERT_EQ(l.context.LoadScript("Setup.cnf"), 1);
  ASSERT_EQ(l.context.script.fileItems.Count(), 1u);
  EXPECT_STREQ(l.context.script.fileItems.At(0)->source, ":beside.exe");
  EXPECT_EQ(l.context.script.fileItems.At(0)->includeMask, kComponentUI);
  EXPECT_EQ(l.context.script.folderItems.Count(), 0u);

  // Without the file beside it, the archive's entry is read and the lists are replaced. The
  // temporary file exists when the entry is extracted, so the archive must be let replace it
  // even when the caller's flags forbid it; the caller's flags come back as they were.
  ASSERT_TRUE(DeleteFileA(l.scratch.Path("src\\Setup.cnf").c_str()));
  payloadArchive.flags = 0;
  ASSERT_EQ(l.context.LoadScript("Setup.cnf"), 1);
  EXPECT_EQ(payloadArchive.flags, 0u);
  ASSERT_EQ(l.context.script.fileItems.Count(), 2u);
  EXPECT_STREQ(l.context.script.fileItems.At(1)->destination, "%TARGETFOLDER%\\packed2.exe");
  ASSERT_EQ(l.context.script.folderItems.Count(), 1u);
  EXPECT_STREQ(l.context.script.folderItems.At(0)->folder, "C:\\Packed");
}

TEST(LoadScript, AFullPathIsReadAsItselfAndFetchedAsItself) {
  Loader l("load_path", {{"Remove.cnf", "[AddFolder]\r\nC:\\FromArchive\r\n"}});
  const std::string path = l.scratch.Path("Remove.cnf");
  const std::string text =
      "[AddFile]\r\n,C:\\Apps\\a.exe\r\n\r\n[AddShellLink.UI]\r\nC:\\Menu\\A.lnk,,,,\r\n\r\n"
      "[AddFolder]\r\nC:\\Apps\r\n\r\n";
  ASSERT_TRUE(WriteTestFile(path, text));
  ASSERT_EQ(l.context.LoadScript(path.c_str()), 1);
  ASSERT_EQ(l.context.script.fileItems.Count(), 1u);
  EXPECT_STREQ(l.context.script.fileItems.At(0)->source, "");
  EXPECT_STREQ(l.context.script.fileItems.At(0)->destination, "C:\\Apps\\a.exe");
  ASSERT_EQ(l.context.script.shellLinkItems.Count(), 1u);
  EXPECT_STREQ(l.context.script.shellLinkItems.At(0)->link, "C:\\Menu\\A.lnk");
  ASSERT_EQ(l.context.script.folderItems.Count(), 1u);
  EXPECT_STREQ(l.context.script.folderItems.At(0)->folder, "C:\\Apps");

  const std::string copy = l.scratch.Path("copy.cnf");
  ASSERT_EQ(l.context.FetchScriptFile(path.c_str(), copy.c_str()), 1);
  EXPECT_EQ(ReadText(copy), text);
}

TEST(LoadScript, AFailedLoadLeavesTheListsAndNoTemporaryFile) {
  Loader l("load_missing", {{"Setup.cnf", kPackedScript}});
  ASSERT_EQ(l.context.LoadScript("Setup.cnf"), 1);
  const int tempFilesBefore = CountMatching(l.context.tempFolder, "xxx*.tmp");
  EXPECT_EQ(l.context.LoadScript("Missing.cnf"), 0);
  EXPECT_EQ(l.context.LoadScript(l.scratch.Path("nowhere\\Remove.cnf").c_str()), 0);
  EXPECT_EQ(l.context.LoadScript(""), 0);
  EXPECT_EQ(l.context.script.fileItems.Count(), 2u);
  EXPECT_EQ(l.context.script.folderItems.Count(), 1u);
  EXPECT_EQ(CountMatching(l.context.tempFolder, "xxx*.tmp"), tempFilesBefore);
  // An empty name fetches nothing rather than the whole archive.
  EXPECT_EQ(l.context.FetchScriptFile("", l.scratch.Path("out").c_str()), 0);
  EXPECT_FALSE(PathExists(l.scratch.Path("out")));
}

TEST(LoadScript, SectionsAreSelectedForTheRunningSystem) {
  Loader l("load_os");
  l.Beside("Setup.cnf",
           "[AddFolder.Win9x]\r\nWin9x\r\n[AddFolder.WinNT]\r\nWinNT\r\n"
           "[AddFolder.Win98SE]\r\nWin98SE\r\n[AddFolder.WinME]\r\nWinME\r\n"
           "[AddFolder.Win2000]\r\nWin2000\r\n[AddFolder.WinXP]\r\nWinXP\r\n"
           "[AddFolder.!Win9x]\r\nnot Win9x\r\n[AddFolder.WinNT.!WinXP]\r\nNT but not XP\r\n"
           "[AddFolder.Win9x.WinNT]\r\nboth families\r\n[AddFolder.SC.!UI]\r\ncomponents only\r\n");
  ASSERT_EQ(l.context.LoadScript("Setup.cnf"), 1);
  std::string loaded;
  for (size_t i = 0; i < l.context.script.folderItems.Count(); ++i) {
    loaded += std::string(l.context.script.folderItems.At(i)->folder) + ";";
  }
  if (RunsAs9x()) {
    ASSERT_TRUE(IsWin98SE(QueryOsVersion())) << WineVersion();
    EXPECT_EQ(loaded, "Win9x;Win98SE;both families;components only;");
  } else {
    ASSERT_TRUE(IsWinXP(QueryOsVersion())) << WineVersion();
    EXPECT_EQ(loaded, "WinNT;WinXP;not Win9x;both families;components only;");
  }
  const FolderItem& last = *l.context.script.folderItems.At(l.context.script.folderItems.Count() - 1);
  EXPECT_EQ(last.includeMask, kComponentSC);
  EXPECT_EQ(last.excludeMask, kComponentUI);
}

TEST(LoadScript, ALicenceIsPrecachedFromTheArchiveItNames) {
  Loader l("load_precache");
  const std::string licence = "Xelta Z614 licence\r\nSecond line\r\n";
  l.Beside("Setup.cnf",
           "[AddFile]\r\n<precache>%SOURCEFOLDER%\\Payload.exe:License.txt,\r\n"
           "%SOURCEFOLDER%\\Payload.exe:Readme.txt,%TARGETFOLDER%\\Readme.txt\r\n"
           "<precache><optional>%SOURCEFOLDER%\\Payload.exe:Missing.txt,\r\n");
  l.Beside("Payload.exe", Packed({{"Readme.txt", "read me"}, {"License.txt", licence}}));
  const int tempFilesBefore = CountMatching(l.context.tempFolder, "*.tmp");

  ASSERT_EQ(l.context.LoadScript("Setup.cnf"), 1);
  ASSERT_EQ(l.context.script.fileItems.Count(), 3u);
  const FileItem& first = *l.context.script.fileItems.At(0);
  EXPECT_STREQ(first.source, "%SOURCEFOLDER%\\Payload.exe:License.txt");  // as written
  ASSERT_EQ(first.precacheSize, licence.size());
  EXPECT_EQ(BytesText(first.precacheData.get(), first.precacheSize), licence);
  EXPECT_EQ(first.precacheData[first.precacheSize], 0);  // usable as a string
  EXPECT_EQ(FindFileItem(l.context.script, "license.TXT"), &first);

  // Only "<precache>" lines are read; a missing entry loads without bytes and without a word.
  EXPECT_EQ(l.context.script.fileItems.At(1)->precacheData, nullptr);
  const FileItem& missing = *l.context.script.fileItems.At(2);
  EXPECT_EQ(missing.precacheData, nullptr);
  EXPECT_EQ(missing.precacheSize, 0u);
  EXPECT_EQ(CountMatching(l.context.tempFolder, "*.tmp"), tempFilesBefore);
}

TEST(LoadScript, APrecachedFileBesideTheExecutableWinsOverItsEntry) {
  // ":Own.txt" names the running executable, which carries no archive: only the file beside the
  // "started" executable can give its bytes.
  Loader l("load_precache_beside");
  l.Beside("Setup.cnf",
           "[AddFile.UI]\r\n<precache>%SOURCEFOLDER%\\Payload.exe:License.txt,\r\n"
           "<precache>:Own.txt,\r\n<precache>:Other.txt,\r\n");
  l.Beside("License.txt", "the administrator's licence");
  l.Beside("Own.txt", "beside");
  l.Beside("Payload.exe", Packed({{"License.txt", "the packed licence"}}));
  ASSERT_EQ(l.context.LoadScript("Setup.cnf"), 1);
  const FileItem* item = FindFileItem(l.context.script, "License.txt");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(BytesText(item->precacheData.get(), item->precacheSize), "the administrator's licence");
  const FileItem& own = *l.context.script.fileItems.At(1);
  EXPECT_EQ(BytesText(own.precacheData.get(), own.precacheSize), "beside");
  EXPECT_EQ(l.context.script.fileItems.At(2)->precacheData, nullptr);

  // A reload reads the bytes afresh.
  ASSERT_TRUE(DeleteFileA(l.scratch.Path("src\\License.txt").c_str()));
  ASSERT_EQ(l.context.LoadScript("Setup.cnf"), 1);
  item = FindFileItem(l.context.script, "License.txt");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(BytesText(item->precacheData.get(), item->precacheSize), "the packed licence");
}

}  // namespace
