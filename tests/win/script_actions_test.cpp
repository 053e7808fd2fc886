// The actions of an install script against the prefix's real files, registry and shell links:
// each handler run on items parsed from small scripts, with payloads packed by the packer's
// own writer, and what it leaves on the machine and in Remove.cnf read back.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "script/archive_reference.h"
#include "script/ensure_parent_folder.h"
#include "script/run_progress.h"
#include "script/script_actions.h"
#include "sys/folders.h"
#include "tests/win/script_run_support.h"

using namespace script_test;

namespace {

FileItem& FileItemAt(const OwnedList<FileItem>& list, size_t index) { return *list.At(index); }

// Files left in the temp folder whose names begin with prefix.
int CountTempFiles(const SetupContext& context, const char* prefix) {
  return CountMatching(context.tempFolder, (std::string(prefix) + "*").c_str());
}

}  // namespace

// ---- Archive references and parent folders ----

TEST(SplitArchiveReference, CutsAtTheFirstColon) {
  char module[MAX_PATH];
  GetModuleFileNameA(nullptr, module, sizeof module);
  struct Case {
    const char* source;
    int colon;
    std::string archivePath;
    const char* entryName;
  };
  const Case cases[] = {
      {"GeneralSettings.reg", 0, "", "GeneralSettings.reg"},
      {":Z614UI.exe", 1, module, "Z614UI.exe"},
      {":", 1, module, ""},
      {"Setup.exe:9xZ614mdm.inf", 1, "Setup.exe", "9xZ614mdm.inf"},
      {"C:\\Apps\\Setup.exe:Z614.inf", 1, "C", "\\Apps\\Setup.exe:Z614.inf"},
      {"pack.exe:", 1, "pack.exe", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    char archivePath[MAX_PATH] = "junk";
    char entryName[MAX_PATH] = "junk";
    EXPECT_EQ(SplitArchiveReference(c.source, archivePath, entryName), c.colon);
    EXPECT_EQ(archivePath, c.archivePath);
    EXPECT_STREQ(entryName, c.entryName);
  }
}

TEST(EnsureParentFolder, CreatesEveryMissingLevelOfTheFilesFolder) {
  ScratchInstall install("ensure");
  const std::string file = install.Path("a\\b\\c\\file.txt");
  EXPECT_EQ(EnsureParentFolder(file.c_str()), 1);
  EXPECT_TRUE(IsExistingFolder(install.Path("a\\b\\c").c_str()));
  EXPECT_FALSE(PathExists(file));
  EXPECT_EQ(EnsureParentFolder(file.c_str()), 1);  // an existing folder is simply there
  EXPECT_EQ(EnsureParentFolder("file.txt"), 0);    // a bare name names no folder
}

// ---- AddFile ----

struct AddFileCase {
  const char* name;
  std::string script;
  ComponentSet selection;
  std::vector<std::pair<std::string, std::string>> files;  // target-relative path, content
  std::string records;                                   // Remove.cnf, target folder as "@"
  std::vector<std::string> checksummed;                  // target-relative paths
};

std::string WithTarget(std::string text, const std::string& target) {
  for (size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at + target.size())) {
    text.replace(at, 1, target);
  }
  return text;
}

TEST(AddFile, InstallsRecordsAndChecksumsEachKindOfFile) {
  const std::string inf =
      "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Install]\r\nCopyFiles=Drv.Copy\r\n"
      "  CopyFiles=Other\r\n[Drv.CopyFiles]\r\n";
  const std::string infInstalled =
      "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Install]\r\n; CopyFiles=Drv.Copy\r\n"
      "  CopyFiles=Other\r\n[Drv.CopyFiles]\r\n";
  const std::vector<PackedEntry> payload = {
      {"Z614UI.exe", "MZ user interface"}, {"Z614.inf", inf},     {"Z614.hlp", "help"},
      {"Inbox.sms", "messages"},           {"Tones.SMP", "tones"}, {"ReadMe.txt", "read me"},
  };
  const AddFileCase cases[] = {
      {"archive entry into new folders, tags of the section",
       "[AddFile.UI.Help]\r\n%SOURCEFOLDER%\\pack.exe:%Zx14%UI.exe,%TARGETFOLDER%\\Bin\\%Zx14%UI.exe\r\n",
       kComponentUI, {{"Bin\\Z614UI.exe", "MZ user interface"}},
       Record("AddFile.UI.Help", ",@\\Bin\\Z614UI.exe"), {"Bin\\Z614UI.exe"}},
      {"INF file: CopyFiles commented, precompiled form recorded, edited file checksummed",
       "[AddFile.Driver]\r\n%SOURCEFOLDER%\\pack.exe:Z614.inf,%TARGETFOLDER%\\Z614.inf\r\n", kComponentDriver,
       {{"Z614.inf", infInstalled}},
       Record("AddFile.Driver", ",@\\Z614.inf") + Record("AddFile.Driver", ",@\\Z614.PNF"), {"Z614.inf"}},
      {"help file: its index recorded behind it",
       "[AddFile.Help]\r\n%SOURCEFOLDER%\\pack.exe:Z614.hlp,%TARGETFOLDER%\\Z614.hlp\r\n", kComponentHelp,
       {{"Z614.hlp", "help"}},
       Record("AddFile.Help", ",@\\Z614.hlp") + Record("AddFile.Help", ",@\\Z614.GID"), {"Z614.hlp"}},
      {"message files: recorded, not checksummed",
       "[AddFile.SMS]\r\n%SOURCEFOLDER%\\pack.exe:Inbox.sms,%TARGETFOLDER%\\Inbox.sms\r\n"
       "%SOURCEFOLDER%\\pack.exe:Tones.SMP,%TARGETFOLDER%\\Tones.SMP\r\n", kAllComponents,
       {{"Inbox.sms", "messages"}, {"Tones.SMP", "tones"}},
       Record("AddFile.SMS", ",@\\Inbox.sms") + Record("AddFile.SMS", ",@\\Tones.SMP"), {}},
      {"plain file beside the setup, all six tags write none",
       "[AddFile.UI.Admin.Driver.Help.SMS.SC]\r\n%SOURCEFOLDER%\\Beside.txt,%TARGETFOLDER%\\Beside.txt\r\n",
       kAllComponents, {{"Beside.txt", "beside the setup"}}, Record("AddFile", ",@\\Beside.txt"),
       {"Beside.txt"}},
      {"a destination with wildcards names no file: nothing made, nothing recorded",
       "[AddFile]\r\n%SOURCEFOLDER%\\pack.exe:Z614UI.exe,%TARGETFOLDER%\\*.exe\r\n", kAllComponents, {}, "",
       {}},
  };
  for (const AddFileCase& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchInstall install("addfile", payload);
    WriteTestFile(install.Path("Beside.txt"), "beside the setup");
    ASSERT_EQ(install.Parse(c.script), 1);
    SetupContext& context = install.Context();
    RunProgress progress(nullptr, 0);
    for (size_t i = 0; i < context.script.fileItems.Count(); ++i) {
      RunAddFileItem(context, FileItemAt(context.script.fileItems, i), c.selection, progress);
    }
    for (const auto& file : c.files) {
      EXPECT_EQ(ReadText(install.TargetPath(file.first)), file.second) << file.first;
    }
    if (c.files.empty()) {
      EXPECT_FALSE(PathExists(install.Target()));
    }
    EXPECT_EQ(install.RemoveScript(), WithTarget(c.records, install.Target()));
    for (const std::string& file : c.checksummed) {
      const RegistryValue value = ReadMachineValue(kDiagnosticsKey, install.TargetPath(file).c_str());
      EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ)) << file;
      EXPECT_EQ(StringData(value), Crc32Text(ReadText(install.TargetPath(file)))) << file;
    }
    if (c.checksummed.empty()) {
      EXPECT_FALSE(MachineKeyExists(kDiagnosticsKey));
    }
  }
}

TEST(AddFile, ReplacesAReadOnlyFileAtTheDestinationWithTheEntrysTimes) {
  ScratchInstall install("addfile_readonly", {{"Z614UI.exe", "new version"}});
  CreateDirectoryA(install.Target().c_str(), nullptr);
  const std::string destination = install.TargetPath("Z614UI.exe");
  WriteTestFile(destination, "old version, read-only");
  SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_READONLY);
  payloadArchive.flags = 0;  // the old file goes first, whatever the archive may replace

  ASSERT_EQ(install.Parse("[AddFile]\r\n%SOURCEFOLDER%\\pack.exe:Z614UI.exe,%TARGETFOLDER%\\Z614UI.exe\r\n"), 1);
  RunProgress progress(nullptr, 0);
  RunAddFileItem(install.Context(), FileItemAt(install.Context().script.fileItems, 0), 0, progress);
  EXPECT_EQ(ReadText(destination), "new version");
  // The write time is the entry's. (The creation time is applied too, but Wine's Linux file
  // system cannot store one; the last-access time moves when the checksum reads the file.)
  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(GetFileAttributesExA(destination.c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(FromFiletime(data.ftLastWriteTime), kWritten);
}

TEST(AddFile, PrecachedBytesAreWrittenWithoutTheArchive) {
  ScratchInstall install("addfile_precache");
  CreateDirectoryA(install.Target().c_str(), nullptr);
  ASSERT_EQ(install.Parse("[AddFile.UI]\r\n:License.txt,<PRECACHE>\r\n"
                          ":%SOURCEFOLDER%\\ReadMe.txt,%TARGETFOLDER%\\ReadMe.txt<PRECACHE><OPTIONAL>\r\n"),
            1);
  SetupContext& context = install.Context();
  ASSERT_EQ(context.script.fileItems.Count(), 2u);
  // What the loader read at load time.
  for (size_t i = 0; i < 2; ++i) {
    FileItem& item = FileItemAt(context.script.fileItems, i);
    const std::string text = i == 0 ? "licence text" : "read me first";
    item.precacheData.reset(new uint8_t[text.size()]);
    memcpy(item.precacheData.get(), text.data(), text.size());
    item.precacheSize = static_cast<uint32_t>(text.size());
  }
  RunProgress progress(nullptr, 0);
  for (size_t i = 0; i < 2; ++i) {
    RunAddFileItem(context, FileItemAt(context.script.fileItems, i), kComponentUI, progress);
  }
  EXPECT_EQ(ReadText(install.TargetPath("ReadMe.txt")), "read me first");
  // A line that only precaches records an empty path, which the uninstall matches with nothing.
  EXPECT_EQ(install.RemoveScript(),
            Record("AddFile.UI", ",") + Record("AddFile.UI", "," + install.TargetPath("ReadMe.txt")));
}

// The missing-file message: only for lines without "<optional>", only with a window.
TEST(AddFile, MissingFileMessageOnlyWithAWindowAndWithoutOptional) {
  struct Case {
    const char* line;
    bool window;
    std::vector<std::string> texts;
  };
  const Case cases[] = {
      {"%SOURCEFOLDER%\\pack.exe:Missing.dll,%TARGETFOLDER%\\Missing.dll", true,
       {"The file is not in the package: Missing.dll"}},
      {"%SOURCEFOLDER%\\pack.exe:Missing.dll,%TARGETFOLDER%\\Missing.dll", false, {}},
      {"%SOURCEFOLDER%\\pack.exe:Missing.dll,%TARGETFOLDER%\\Missing.dll<optional>", true, {}},
      {"%SOURCEFOLDER%\\Absent.txt,%TARGETFOLDER%\\Absent.txt", true,
       {"The file is not in the package: C:\\z614\\run\\addfile_missing\\Absent.txt"}},
      {":%Zx14%Absent.dll,%TARGETFOLDER%\\Absent.dll", true,
       {"The file is not in the package: Z614Absent.dll"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    ScratchInstall install("addfile_missing", {{"Present.dll", "here"}});
    ProgressWindow window;
    ASSERT_EQ(install.Parse(std::string("[AddFile]\r\n") + c.line + "\r\n"), 1);
    RunProgress progress(c.window ? window.Handle() : nullptr, 1);
    MessageBoxWatch watch;
    RunAddFileItem(install.Context(), FileItemAt(install.Context().script.fileItems, 0), 0, progress);
    const std::vector<ShownBox>& shown = watch.Stop();
    ASSERT_EQ(shown.size(), c.texts.size());
    for (size_t i = 0; i < shown.size(); ++i) {
      EXPECT_EQ(shown[i].text, c.texts[i]);
      EXPECT_EQ(shown[i].caption, "Xelta Z614");
      EXPECT_EQ(shown[i].owner, window.Handle());
    }
    EXPECT_EQ(install.RemoveScript(), "");  // nothing installed, nothing recorded
  }
}

// ---- UpdateFile and AppendFile ----

TEST(UpdateFile, ExtractsOverTheDestinationWithoutARecord) {
  ScratchInstall install("update", {{"Z614MDM.sys", "new driver"}});
  CreateDirectoryA(install.Target().c_str(), nullptr);
  WriteTestFile(install.TargetPath("Z614MDM.sys"), "old driver");
  ASSERT_EQ(install.Parse("[UpdateFile.Driver]\r\n" + install.PackReference("%Zx14%MDM.sys") +
                          ",%TARGETFOLDER%\\%Zx14%MDM.sys\r\n" + install.PackReference("Missing.sys") +
                          ",%TARGETFOLDER%\\Missing.sys\r\n"),
            1);
  SetupContext& context = install.Context();
  ProgressWindow window;
  RunProgress progress(window.Handle(), 2);
  MessageBoxWatch watch;
  RunUpdateFileItem(context, FileItemAt(context.script.updateItems, 0), kComponentDriver, progress);
  RunUpdateFileItem(context, FileItemAt(context.script.updateItems, 1), kComponentDriver, progress);
  const std::vector<ShownBox> shown = watch.Stop();

  EXPECT_EQ(ReadText(install.TargetPath("Z614MDM.sys")), "new driver");
  EXPECT_FALSE(PathExists(install.TargetPath("Remove.cnf")));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "The file is not in the package: Missing.sys");
  const std::vector<ProgressMessage> expected = {
      Text("Updating\r\n%TARGETFOLDER%\\%Zx14%MDM.sys"), Item(0),
      Text("Installing\r\n" + install.TargetPath("Z614MDM.sys")), Item(0),
      Text("Updating\r\n%TARGETFOLDER%\\Missing.sys"), Item(0),
      Text("Installing\r\n" + install.TargetPath("Missing.sys")), Item(0),
  };
  EXPECT_EQ(window.Messages(), expected);
}

TEST(AppendFile, AddsTheEntrysBytesAtTheEndOrCreatesTheFile) {
  struct Case {
    const char* name;
    bool existing;
    const char* entry;
    std::string expected;  // "" with existing false: no file
  };
  const Case cases[] = {
      {"appended to an existing file", true, "Hosts.add", "127.0.0.1 localhost\r\n10.0.0.1 gprs\r\n"},
      {"a missing file is created", false, "Hosts.add", "10.0.0.1 gprs\r\n"},
      {"an entry the package lacks changes nothing", true, "Absent.add", "127.0.0.1 localhost\r\n"},
      {"an empty entry changes nothing", true, "Empty.add", "127.0.0.1 localhost\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchInstall install("append", {{"Hosts.add", "10.0.0.1 gprs\r\n"}, {"Empty.add", ""}});
    CreateDirectoryA(install.Target().c_str(), nullptr);
    if (c.existing) WriteTestFile(install.TargetPath("hosts"), "127.0.0.1 localhost\r\n");
    ASSERT_EQ(install.Parse("[AppendFile]\r\n" + install.PackReference(c.entry) + ",%TARGETFOLDER%\\hosts\r\n"), 1);
    ProgressWindow window;
    RunProgress progress(window.Handle(), 1);
    MessageBoxWatch watch;
    RunAppendFileItem(install.Context(), FileItemAt(install.Context().script.appendItems, 0), 0, progress);
    EXPECT_TRUE(watch.Stop().empty());
    EXPECT_EQ(ReadText(install.TargetPath("hosts")), c.expected);
    EXPECT_FALSE(PathExists(install.TargetPath("Remove.cnf")));
  }
}

// ---- ReplaceIniSection ----

TEST(ReplaceIniSection, ThePayloadsSectionReplacesTheFilesAtItsEnd) {
  struct Case {
    const char* name;
    bool existing;
    std::string original;
    std::string payload;
    std::string expected;
  };
  const Case cases[] = {
      {"section replaced and moved to the end", true,
       "[General]\r\nName=old\r\n[Network]\r\nApn=old\r\n[Modem]\r\nPort=1\r\n",
       "[Other]\r\nx=1\r\n[network]\r\nApn=internet\r\nUser=\r\n[Last]\r\ny=2\r\n",
       "[General]\r\nName=old\r\n[Modem]\r\nPort=1\r\n[network]\r\nApn=internet\r\nUser=\r\n"},
      {"a section written twice loses both", true,
       "[Network]\r\na=1\r\n[Modem]\r\nPort=1\r\n[NETWORK]\r\nb=2\r\n",
       "[Network]\r\nApn=internet\r\n",
       "[Modem]\r\nPort=1\r\n[Network]\r\nApn=internet\r\n"},
      {"a payload without the section only removes it", true,
       "[Network]\r\na=1\r\n[Modem]\r\nPort=1\r\n", "[Modem]\r\nPort=2\r\n", "[Modem]\r\nPort=1\r\n"},
      {"an INI file that is not there is not created", false, "", "[Network]\r\nApn=internet\r\n", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchInstall install("ini", {{"Z614.ini", c.payload}});
    CreateDirectoryA(install.Target().c_str(), nullptr);
    if (c.existing) WriteTestFile(install.TargetPath("Z614.ini"), c.original);
    SetupContext& context = install.Context();
    const int tempFilesBefore = CountTempFiles(context, "gpr");
    // No macros in the source: a rooted path without drive keeps its colon for the entry.
    ASSERT_EQ(install.Parse("[ReplaceIniSection]\r\n" + install.PackReference("Z614.ini") +
                            ",Network,%TARGETFOLDER%\\%Zx14%.ini\r\n"),
              1);
    RunProgress progress(nullptr, 1);
    RunReplaceIniSectionItem(context, *context.script.iniSectionItems.At(0), 0, progress);
    EXPECT_EQ(PathExists(install.TargetPath("Z614.ini")), c.existing);
    EXPECT_EQ(ReadText(install.TargetPath("Z614.ini")), c.expected);
    EXPECT_EQ(CountTempFiles(context, "gpr"), tempFilesBefore);
  }
}

// ---- AddRegFile and AddRegValue ----

TEST(AddRegFile, AppliesTheRegistryTextAndDeletesItsTemporaryFile) {
  ScratchInstall install(
      "regfile", {{"Settings.reg", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Xelta\\Z614Test]\r\n"
                                   "\"Level\"=dword:0000000a\r\n\"Name\"=\"GPRS card\"\r\n"}});
  SetupContext& context = install.Context();
  ASSERT_EQ(install.Parse("[AddRegFile]\r\n" + install.PackReference("Settings.reg") + "\r\n" +
                          install.PackReference("..\\Settings.reg") + "\r\n"),
            1);
  ProgressWindow window;
  RunProgress progress(window.Handle(), 2);
  RunAddRegFileItem(context, *context.script.regFileItems.At(0), 0, progress);
  RunAddRegFileItem(context, *context.script.regFileItems.At(1), 0, progress);

  const RegistryValue level = ReadMachineValue("Software\\Xelta\\Z614Test", "Level");
  EXPECT_EQ(level.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(level.data, std::string("\x0a\0\0\0", 4));
  EXPECT_EQ(StringData(ReadMachineValue("Software\\Xelta\\Z614Test", "Name")), "GPRS card");
  const std::string temporary = std::string(context.tempFolder) + "Settings.reg";
  EXPECT_FALSE(PathExists(temporary));
  // The second line names an entry with a folder part: it never leaves the temp folder.
  const std::vector<ProgressMessage> expected = {
      Text("Installing\r\n" + install.PackReference("Settings.reg")), Item(0),
      Text("Installing\r\n" + temporary), Item(0),
      Text("Installing\r\n" + install.PackReference("..\\Settings.reg")), Item(0),
  };
  EXPECT_EQ(window.Messages(), expected);
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Xelta\\Z614Test");
}

TEST(AddRegValue, SetsStringAndNumberValuesUnderTheMachineKey) {
  ScratchInstall install("regvalue");
  struct Case {
    const char* line;
    const char* key;
    const char* name;
    DWORD type;
    std::string data;
  };
  const std::string target = install.Target();
  const Case cases[] = {
      {"HKLM,Software\\Xelta\\%Zx14%Test,RunFirst,REG_DWORD,1", "Software\\Xelta\\Z614Test", "RunFirst",
       REG_DWORD, std::string("\x01\0\0\0", 4)},
      {"hklm,Software\\Xelta\\Z614Test,Minus,reg_dword,-1", "Software\\Xelta\\Z614Test", "Minus", REG_DWORD,
       std::string("\xFF\xFF\xFF\xFF", 4)},
      {"HKLM,Software\\Xelta\\Z614Test,Word,REG_DWORD,on", "Software\\Xelta\\Z614Test", "Word", REG_DWORD,
       std::string("\0\0\0\0", 4)},
      {"HKLM,Software\\Xelta\\Z614Test,Folder,REG_SZ,%TARGETFOLDER%\\Bin", "Software\\Xelta\\Z614Test",
       "Folder", REG_SZ, target + "\\Bin"},
      {"HKLM,Software\\Xelta\\Z614Test\\Sub,%Zx14%Model,REG_SZ,%Zx14%", "Software\\Xelta\\Z614Test\\Sub",
       "Z614Model", REG_SZ, "Z614"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    ASSERT_EQ(install.Parse(std::string("[AddRegValue]\r\n") + c.line + "\r\n"), 1);
    ASSERT_EQ(install.Context().script.regValueItems.Count(), 1u);
    RunProgress progress(nullptr, 1);
    RunAddRegValueItem(install.Context(), *install.Context().script.regValueItems.At(0), 0, progress);
    const RegistryValue value = ReadMachineValue(c.key, c.name);
    EXPECT_EQ(value.type, c.type);
    // The size follows the expanded text (the registry may add the terminator left out).
    EXPECT_EQ(c.type == REG_SZ ? StringData(value) : value.data, c.data);
    if (c.type == REG_SZ) {
      EXPECT_LE(value.data.size(), c.data.size() + 1);
    }
  }
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Xelta\\Z614Test\\Sub");
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Xelta\\Z614Test");
}

// ---- AddShellLink ----

struct LinkRead {
  bool loaded = false;
  std::string path;
  std::string description;
  std::string iconFile;
  int iconIndex = 0;
  int showCommand = 0;
};

LinkRead ReadShortcut(const std::string& link) {
  LinkRead read;
  CoInitialize(nullptr);
  IShellLinkA* shellLink = nullptr;
  IPersistFile* file = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&shellLink)))) {
    return read;
  }
  WCHAR wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
  if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Load(wide, STGM_READ))) {
    char path[MAX_PATH] = "", description[1024] = "", icon[MAX_PATH] = "";
    shellLink->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH);
    shellLink->GetDescription(description, sizeof description);
    shellLink->GetIconLocation(icon, MAX_PATH, &read.iconIndex);
    shellLink->GetShowCmd(&read.showCommand);
    read = {true, path, description, icon, read.iconIndex, read.showCommand};
  }
  if (file != nullptr) file->Release();
  shellLink->Release();
  return read;
}

TEST(AddShellLink, MakesShortcutsToTargetsThatExistAndRecordsThem) {
  ScratchInstall install("shelllink");
  CreateDirectoryA(install.Target().c_str(), nullptr);
  WriteTestFile(install.TargetPath("Z614UI.exe"), "MZ");
  WriteTestFile(install.TargetPath("ReadMe.txt"), "read me");
  ASSERT_EQ(install.Parse(
                "[AddShellLink.UI]\r\n"
                "%SOURCEFOLDER%\\Menu\\Xelta %Zx14%\\%LINK_UI%.lnk,%TARGETFOLDER%\\%Zx14%UI.exe,"
                "%LINKDESC_UI%,%TARGETFOLDER%\\%Zx14%UI.exe,2\r\n"
                "%SOURCEFOLDER%\\Menu\\Xelta %Zx14%\\%LINK_README%.lnk,%TARGETFOLDER%\\ReadMe.txt,"
                "%LINKDESC_README%,,-1\r\n"
                "[AddShellLink.SMS]\r\n"
                "%SOURCEFOLDER%\\Menu\\Xelta %Zx14%\\%LINK_SMS%.lnk,%TARGETFOLDER%\\%Zx14%SMS.exe,"
                "%LINKDESC_SMS%,,0\r\n"),
            1);
  SetupContext& context = install.Context();
  ASSERT_EQ(context.script.shellLinkItems.Count(), 3u);
  ProgressWindow window;
  RunProgress progress(window.Handle(), 3);
  for (size_t i = 0; i < 3; ++i) {
    RunAddShellLinkItem(context, *context.script.shellLinkItems.At(i), kComponentUI | kComponentSMS,
                        progress);
  }

  const std::string menu = install.Path("Menu\\Xelta Z614\\");
  const LinkRead ui = ReadShortcut(menu + "Xelta Z614.lnk");
  ASSERT_TRUE(ui.loaded);
  EXPECT_EQ(ui.path, install.TargetPath("Z614UI.exe"));
  EXPECT_EQ(ui.description,
            "Allows you to establish network connections, manage profiles, configure settings, view "
            "network status, and more.");
  EXPECT_EQ(ui.iconFile, install.TargetPath("Z614UI.exe"));
  EXPECT_EQ(ui.iconIndex, 2);
  EXPECT_EQ(ui.showCommand, SW_SHOWNORMAL);

  const LinkRead readMe = ReadShortcut(menu + "Readme.lnk");
  ASSERT_TRUE(readMe.loaded);
  EXPECT_EQ(readMe.path, install.TargetPath("ReadMe.txt"));
  EXPECT_EQ(readMe.description, "Provides last minute information on the Xelta Z614.");
  EXPECT_EQ(readMe.iconFile, "");  // icon index -1: no icon of its own

  // The short-messaging program was not installed: no shortcut, no record.
  EXPECT_FALSE(PathExists(menu + "Xelta Short Messaging.lnk"));
  EXPECT_EQ(install.RemoveScript(), Record("AddShellLink.UI", menu + "Xelta Z614.lnk,,,,") +
                                        Record("AddShellLink.UI", menu + "Readme.lnk,,,,"));
  const std::vector<ProgressMessage> expected = {
      Text("Installing\r\n" + install.TargetPath("Z614UI.exe")), Item(0),
      Text("Installing\r\n" + install.TargetPath("ReadMe.txt")), Item(0),
      Text("Installing\r\n" + install.TargetPath("Z614SMS.exe")), Item(0),
  };
  EXPECT_EQ(window.Messages(), expected);
}

// ---- EnableTextLine, DisableTextLine and the INF edit ----

TEST(SetTextLines, SwitchesMatchingPiecesOnAndOffAndRefusesEmptyArgumentsAndMissingFiles) {
  const std::string longLine = "Child0002=" + std::string(290, 'x');
  struct Case {
    const char* name;
    std::string text;
    const char* pattern;
    int enable;
    std::string expected;
  };
  const Case cases[] = {
      {"disable puts a semicolon in front, also of a switched-off line",
       "a=1\r\nHKR,Child0002,1\r\n;HKR,Child0002,2\r\n", "*Child0002*", 0,
       "a=1\r\n;HKR,Child0002,1\r\n;;HKR,Child0002,2\r\n"},
      {"enable takes one semicolon away and leaves other lines",
       ";;HKR,Child0002,1\r\nHKR,Child0002,2\r\n;other\r\n", "*child0002*", 1,
       ";HKR,Child0002,1\r\nHKR,Child0002,2\r\n;other\r\n"},
      {"without a trailing star only a last line without line feed matches",
       "HKR,Child0002\r\nHKR,Child0002", "*Child0002", 0, "HKR,Child0002\r\n;HKR,Child0002"},
      {"a file without a matching line is rewritten unchanged", "a=1\r\nb=2\r\n", "*Child0002*", 0,
       "a=1\r\nb=2\r\n"},
      {"a long line is edited piece by piece", longLine + "\r\n", "*Child0002*", 0, ";" + longLine + "\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchInstall install("textlines");
    const std::string file = install.Path("Z614.inf");
    WriteTestFile(file, c.text);
    const int tempFilesBefore = CountTempFiles(install.Context(), "tex");
    EXPECT_EQ(SetTextLines(install.Context(), file.c_str(), c.pattern, c.enable), 1);
    EXPECT_EQ(ReadText(file), c.expected);
    EXPECT_EQ(CountTempFiles(install.Context(), "tex"), tempFilesBefore);
  }
  // Refusals: an empty path or pattern, a file that is not there (and is not created).
  ScratchInstall install("textlines_refused");
  EXPECT_EQ(SetTextLines(install.Context(), "", "*", 0), 0);
  EXPECT_EQ(SetTextLines(install.Context(), install.Path("Z614.inf").c_str(), "", 0), 0);
  EXPECT_EQ(SetTextLines(install.Context(), install.Path("Absent.inf").c_str(), "*", 0), 0);
  EXPECT_FALSE(PathExists(install.Path("Absent.inf")));
}

TEST(DisableInfCopyFiles, CommentsOnlyLinesThatBeginWithTheDirective) {
  ScratchInstall install("inf_copyfiles");
  const std::string file = install.Path("Z614.inf");
  WriteTestFile(file,
                "[Install]\r\nCopyFiles=Drv.Copy,Help.Copy\r\ncopyfiles = Other\r\n  CopyFiles=Indented\r\n"
                "[Drv.CopyFiles]\r\nZ614MDM.sys\r\n[DestinationDirs]\r\nDrv.CopyFiles=12\r\nCopyFile=x\r\n");
  const int tempFilesBefore = CountTempFiles(install.Context(), "inf");
  EXPECT_EQ(DisableInfCopyFiles(install.Context(), file.c_str()), 1);
  EXPECT_EQ(ReadText(file),
            "[Install]\r\n; CopyFiles=Drv.Copy,Help.Copy\r\n; copyfiles = Other\r\n  CopyFiles=Indented\r\n"
            "[Drv.CopyFiles]\r\nZ614MDM.sys\r\n[DestinationDirs]\r\nDrv.CopyFiles=12\r\nCopyFile=x\r\n");
  EXPECT_EQ(CountTempFiles(install.Context(), "inf"), tempFilesBefore);
  EXPECT_EQ(DisableInfCopyFiles(install.Context(), ""), 0);
  EXPECT_EQ(DisableInfCopyFiles(install.Context(), install.Path("Absent.inf").c_str()), 0);
}
