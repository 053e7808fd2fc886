// The actions of an install script where the demo run does not reach: the missing-file
// message, refusals, and the text edits' edge cases, against the prefix's real files.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "script/run_progress.h"
#include "script/script_actions.h"
#include "tests/win/script_run_support.h"

using namespace script_test;

// The message shows only for lines without "<optional>" and only with a window; an appended,
// registry or INI entry that is missing, or an INI file that is not there, changes nothing
// without a word.
TEST(RunScript, ShowsTheMissingFileMessageOnlyWithAWindowAndWithoutOptional) {
  const struct {
    std::string script;  // "@" stands for the packed file as a rooted path
    bool window;
    const char* text;  // nullptr: no message
  } cases[] = {
      {"[AddFile]\r\n%SOURCEFOLDER%\\pack.exe:Missing.dll,%TARGETFOLDER%\\Missing.dll", true,
       "Missing.dll"},
      {"[AddFile]\r\n%SOURCEFOLDER%\\pack.exe:Missing.dll,%TARGETFOLDER%\\Missing.dll", false,
       nullptr},
      {"[AddFile]\r\n%SOURCEFOLDER%\\pack.exe:Missing.dll,%TARGETFOLDER%\\Missing.dll<optional>",
       true, nullptr},
      {"[AddFile]\r\n%SOURCEFOLDER%\\Missing.txt,%TARGETFOLDER%\\Missing.txt", true, ""},
      {"[UpdateFile]\r\n@Missing.sys,%TARGETFOLDER%\\Missing.sys", true, "Missing.sys"},
      {"[AppendFile]\r\n@Missing.add,%TARGETFOLDER%\\Missing.txt", true, nullptr},
      {"[AddRegFile]\r\n@..\\Missing.reg", true, nullptr},  // never outside the temp folder
      {"[ReplaceIniSection]\r\n@Z614.ini,Network,%TARGETFOLDER%\\Missing.txt", true, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    ScratchInstall install("missing", {{"Z614.ini", "[Network]\r\nApn=internet\r\n"}});
    std::string script = c.script;
    if (script.find('@') != std::string::npos) script.replace(script.find('@'), 1, install.PackReference(""));
    ASSERT_EQ(install.Parse(script), 1);
    ProgressWindow window;
    MessageBoxWatch watch;
    install.Context().RunScript(c.window ? window.Handle() : nullptr, kAllComponents, 0);
    const std::vector<ShownBox>& shown = watch.Shown();
    ASSERT_EQ(shown.size(), c.text != nullptr ? 1u : 0u);
    if (c.text != nullptr) {
      // A file beside the setup is named by its full path.
      const std::string name = *c.text != '\0' ? c.text : install.Path("Missing.txt");
      EXPECT_EQ(shown[0].text, "The file is not in the package: " + name);
      EXPECT_EQ(shown[0].caption, "Xelta Z614");
      EXPECT_EQ(shown[0].owner, window.Handle());
    }
    EXPECT_EQ(install.RemoveScript().find("Missing"), std::string::npos);
    EXPECT_FALSE(PathExists(install.TargetPath("Missing.txt")));
    EXPECT_FALSE(PathExists(std::string(install.Context().tempFolder) + "..\\Missing.reg"));
  }
}

// A destination with wildcards names no file, and a shortcut to a target that is not there is
// not made: neither is recorded. A read-only file in the way is replaced with the entry's times.
TEST(AddFile, RefusesWildcardsAndReplacesAReadOnlyFile) {
  ScratchInstall install("addfile", {{"Z614UI.exe", "new version"}});
  SetupContext& context = install.Context();
  CreateDirectoryA(install.Target().c_str(), nullptr);
  const std::string destination = install.TargetPath("Z614UI.exe");
  WriteTestFile(destination, "old version, read-only");
  SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_READONLY);
  payloadArchive.flags = 0;  // the old file goes first, whatever the archive may replace
  ASSERT_EQ(install.Parse("[AddFile]\r\n%SOURCEFOLDER%\\pack.exe:Z614UI.exe,%TARGETFOLDER%\\*.exe\r\n"
                          "%SOURCEFOLDER%\\pack.exe:Z614UI.exe,%TARGETFOLDER%\\Z614UI.exe\r\n"
                          "[AddShellLink]\r\n%TARGETFOLDER%\\A.lnk,%TARGETFOLDER%\\Gone.exe,A,,0\r\n"),
            1);
  RunProgress progress(nullptr, 3);
  RunAddFileItem(context, *context.script.fileItems.At(0), 0, progress);
  EXPECT_EQ(CountMatching(install.Target() + "\\", "*"), 3);  // ".", ".." and the old file
  RunAddFileItem(context, *context.script.fileItems.At(1), 0, progress);
  RunAddShellLinkItem(context, *context.script.shellLinkItems.At(0), 0, progress);
  EXPECT_FALSE(PathExists(install.TargetPath("A.lnk")));
  EXPECT_EQ(install.RemoveScript(), Record("AddFile", "," + destination));
  EXPECT_EQ(ReadText(destination), "new version");
  // The creation time is applied too, but Wine's Linux file system cannot store one.
  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(GetFileAttributesExA(destination.c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ((uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime,
            kWritten);
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
      {"a=1\r\nb=2\r\n", "*Child0002*", 0, "a=1\r\nb=2\r\n"},
      {longLine + "\r\n", "*Child0002*", 0, ";" + longLine + "\r\n"},  // edited piece by piece
  };
  ScratchInstall install("textlines");
  const SetupContext& context = install.Context();
  const std::string file = install.Path("Z614.inf");
  const int textTempFiles = CountMatching(context.tempFolder, "tex*");
  const int infTempFiles = CountMatching(context.tempFolder, "inf*");
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

  // Only lines that begin with the directive, in any case, are commented out.
  WriteTestFile(file, "[Install]\r\nCopyFiles=A,B\r\ncopyfiles = C\r\n  CopyFiles=D\r\nCopyFile=x\r\n");
  EXPECT_EQ(DisableInfCopyFiles(context, file.c_str()), 1);
  EXPECT_EQ(ReadText(file), "[Install]\r\n; CopyFiles=A,B\r\n; copyfiles = C\r\n  CopyFiles=D\r\nCopyFile=x\r\n");
  EXPECT_EQ(CountMatching(context.tempFolder, "inf*"), infTempFiles);
  EXPECT_EQ(DisableInfCopyFiles(context, ""), 0);
  EXPECT_EQ(DisableInfCopyFiles(context, install.Path("Absent.inf").c_str()), 0);
}
