// What a run reads before it acts, against real files and a packed archive: LoadScript and
// FetchScriptFile, precaching, the profile collection, and the registry text import into the
// prefix's registry.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "device/profile_collection.h"
#include "script/load_script.h"
#include "script/registry_import.h"
#include "tests/win/script_run_support.h"

using namespace script_test;

namespace {

const char kPackedScript[] =
    "[AddFile]\r\n:packed1.exe,%TARGETFOLDER%\\packed1.exe\r\n"
    ":packed2.exe,%TARGETFOLDER%\\packed2.exe\r\n[AddFolder]\r\nC:\\Packed\r\n";

std::string PrecachedText(const FileItem* item) {
  return item != nullptr ? BytesText(item->precacheData.get(), item->precacheSize) : "no item";
}

std::vector<std::string> Names(const OwnedList<ProfileText>& list) {
  std::vector<std::string> names;
  for (size_t i = 0; i < list.Count(); ++i) names.emplace_back(list.At(i)->name);
  return names;
}

}  // namespace

TEST(LoadScript, TheScriptBesideTheExecutableWinsOverTheArchiveEntry) {
  ScratchInstall install("load_beside", {{"Setup.cnf", kPackedScript}});
  SetupContext& context = install.Context();
  ASSERT_NE(payloadArchive.Open(install.Path("pack.exe").c_str()), 0);
  WriteTestFile(install.Path("Setup.cnf"), "[AddFile.UI]\r\n:beside.exe,%TARGETFOLDER%\\beside.exe\r\n");
  ASSERT_EQ(context.LoadScript("Setup.cnf"), 1);
  ASSERT_EQ(context.script.fileItems.Count(), 1u);
  EXPECT_STREQ(context.script.fileItems.At(0)->source, ":beside.exe");
  EXPECT_EQ(context.script.folderItems.Count(), 0u);

  // Without it, the archive's entry replaces the lists. Its temporary copy exists when the
  // entry is extracted, so the archive is let replace it whatever the caller's flags say, and
  // the caller's flags come back as they were.
  ASSERT_TRUE(DeleteFileA(install.Path("Setup.cnf").c_str()));
  payloadArchive.flags = 0;
  ASSERT_EQ(context.LoadScript("Setup.cnf"), 1);
  EXPECT_EQ(payloadArchive.flags, 0u);
  ASSERT_EQ(context.script.fileItems.Count(), 2u);
  EXPECT_STREQ(context.script.fileItems.At(1)->destination, "%TARGETFOLDER%\\packed2.exe");
  ASSERT_EQ(context.script.folderItems.Count(), 1u);

  // A failed load leaves the lists as they were and no temporary file.
  const int tempFilesBefore = CountMatching(context.tempFolder, "*.tmp");
  EXPECT_EQ(context.LoadScript("Missing.cnf"), 0);
  EXPECT_EQ(context.LoadScript(install.Path("nowhere\\Remove.cnf").c_str()), 0);
  EXPECT_EQ(context.LoadScript(""), 0);
  EXPECT_EQ(context.script.fileItems.Count(), 2u);
  EXPECT_EQ(context.script.folderItems.Count(), 1u);
  EXPECT_EQ(CountMatching(context.tempFolder, "*.tmp"), tempFilesBefore);
  // An empty name fetches nothing rather than the whole archive.
  EXPECT_EQ(context.FetchScriptFile("", install.Path("out").c_str()), 0);
  EXPECT_FALSE(PathExists(install.Path("out")));
}

// Only "<precache>" lines are read at load time, the file beside the executable before the
// entry; a missing entry loads without bytes and without a word; a reload reads afresh.
TEST(LoadScript, PrecachesFromBesideTheExecutableOrFromTheArchive) {
  const std::string licence = "Xelta Z614 licence\r\nSecond line\r\n";
  ScratchInstall install("load_precache", {{"Readme.txt", "read me"}, {"License.txt", licence}});
  SetupContext& context = install.Context();
  WriteTestFile(install.Path("Setup.cnf"),
                "[AddFile]\r\n<precache>%SOURCEFOLDER%\\pack.exe:License.txt,\r\n"
                "%SOURCEFOLDER%\\pack.exe:Readme.txt,%TARGETFOLDER%\\Readme.txt\r\n"
                "<precache><optional>%SOURCEFOLDER%\\pack.exe:Missing.txt,\r\n"
                "<precache>:Own.txt,\r\n");
  WriteTestFile(install.Path("License.txt"), "the administrator's licence");
  WriteTestFile(install.Path("Own.txt"), "beside");  // the running executable carries no archive
  const int tempFilesBefore = CountMatching(context.tempFolder, "*.tmp");
  ASSERT_EQ(context.LoadScript("Setup.cnf"), 1);
  ASSERT_EQ(context.script.fileItems.Count(), 4u);
  EXPECT_EQ(PrecachedText(FindFileItem(context.script, "license.TXT")), "the administrator's licence");
  EXPECT_EQ(context.script.fileItems.At(1)->precacheData, nullptr);
  EXPECT_EQ(context.script.fileItems.At(2)->precacheData, nullptr);
  EXPECT_EQ(context.script.fileItems.At(2)->precacheSize, 0u);
  EXPECT_EQ(PrecachedText(context.script.fileItems.At(3)), "beside");

  ASSERT_TRUE(DeleteFileA(install.Path("License.txt").c_str()));
  ASSERT_EQ(context.LoadScript("Setup.cnf"), 1);
  const FileItem& first = *context.script.fileItems.At(0);
  EXPECT_STREQ(first.source, "%SOURCEFOLDER%\\pack.exe:License.txt");  // as written
  EXPECT_EQ(PrecachedText(&first), licence);
  EXPECT_EQ(first.precacheData[first.precacheSize], 0);  // usable as a string
  EXPECT_EQ(CountMatching(context.tempFolder, "*.tmp"), tempFilesBefore);
}

// Archive entries first in directory order, then the folder's files by their full paths;
// "*.NWP" only with the "regedit4" header in any case, "*.NWK" whatever they hold, empty too.
TEST(ProfileCollection, TakesTheArchiveThenTheFilesBesideTheExecutable) {
  ScratchInstall install("profiles", {{"default.nwp", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n"},
                                      {"Setup.cnf", "[AddFile]\r\n"},
                                      {"Operator.NWP", "REGEDIT4\r\n"},
                                      {"network.nwk", ""},
                                      {"profile.nwp.bak", "REGEDIT4\r\n"}});
  const struct {
    const char* name;
    const char* text;
  } beside[] = {{"Admin.nwp", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\B]\r\n"}, {"lower.NWP", "regedit4"},
                {"Unicode.nwp", "Windows Registry Editor Version 5.00\r\n"}, {"short.nwp", "REGEDIT"},
                {"empty.nwp", ""}, {"Site.NWK", "no header needed"}, {"notes.txt", "REGEDIT4\r\n"}};
  for (const auto& file : beside) WriteTestFile(install.Path(file.name), file.text);
  PayloadArchive archive;
  ASSERT_NE(archive.Open(install.Path("pack.exe").c_str()), 0);
  SetupContext& context = install.Context();
  CollectNwpProfiles(context, archive);
  CollectNwkProfiles(context, archive);
  archive.Clear();

  std::vector<std::string> nwp = Names(context.nwpProfiles);
  std::sort(nwp.begin() + 2, nwp.end());  // the folder's files in the file system's order
  const std::string src = install.Folder() + "\\";
  EXPECT_EQ(nwp, (std::vector<std::string>{"default.nwp", "Operator.NWP", src + "Admin.nwp",
                                           src + "lower.NWP"}));
  for (size_t i = 0; i < context.nwpProfiles.Count(); ++i) {
    const ProfileText& text = *context.nwpProfiles.At(i);
    const std::string expected = i == 0 ? "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n"
                                 : i == 1 ? "REGEDIT4\r\n" : ReadText(text.name);
    EXPECT_EQ(BytesText(text.data.get(), text.size), expected) << text.name;
  }
  EXPECT_EQ(Names(context.nwkProfiles), (std::vector<std::string>{"network.nwk", src + "Site.NWK"}));
  EXPECT_EQ(context.nwkProfiles.At(0)->size, 0u);
  EXPECT_EQ(BytesText(context.nwkProfiles.At(1)->data.get(), context.nwkProfiles.At(1)->size),
            "no header needed");
}

// What the parser reads (tested natively) lands as REG_SZ, REG_DWORD and REG_BINARY values
// under the right root; a stop keeps what was written before it.
TEST(ImportRegistryText, WritesEachTypeOfValueUnderItsRoot) {
  const char* key = "SOFTWARE\\Xelta\\Z614Import";
  const std::string text =
      "REGEDIT4\r\n\r\n[hkey_current_user\\Software\\Xelta\\Z614Import]\r\n\"User\"=\"yes\"\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614Import]\r\n"
      "\"Name\"=\"Xelta \\\"Z614\\\" in C:\\\\Apps\"\r\n\"Count\"=dword:0000012c\r\n"
      "\"Bytes\"=hex:01,02, ff,\\\r\n  10\r\n\"Expand\"=hex(2):41,00\r\n@=\"ignored\"\r\n"
      "\"Empty\"=\"\"\r\n[HKEY_NOWHERE\\SOFTWARE]\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Z614Import]\r\n\"After\"=dword:2\r\n";
  ImportRegistryText(text.data(), text.size());
  char user[16] = "";
  DWORD size = sizeof user;
  EXPECT_EQ(SHGetValueA(HKEY_CURRENT_USER, "Software\\Xelta\\Z614Import", "User", nullptr, user, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::string(user, size), std::string("yes\0", 4));
  const struct {
    const char* name;
    DWORD type;
    std::string data;  // strings up to their terminator
  } cases[] = {
      {"Name", REG_SZ, "Xelta \"Z614\" in C:\\Apps"},
      {"Count", REG_DWORD, std::string("\x2c\x01\0\0", 4)},
      {"Bytes", REG_BINARY, std::string("\x01\x02\xff\x10", 4)},
      {"Expand", REG_BINARY, std::string("A\0", 2)},  // binary whatever the prefix names
      {"Empty", REG_SZ, ""},
      {"", REG_NONE, ""},
      {"After", REG_NONE, ""},
  };
  for (const auto& c : cases) {
    const RegistryValue v = ReadMachineValue(key, c.name);
    EXPECT_EQ(v.type, c.type) << c.name;
    EXPECT_EQ(c.type == REG_SZ ? std::string(v.data.c_str()) : v.data, c.data) << c.name;
  }

  // A registry file is read whole; one that cannot be read does nothing.
  ScratchInstall install("regimport");
  WriteTestFile(install.Path("Settings.reg"), "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\"
                                              "Z614Import]\r\n\"Port\"=\"COM3\"\r\n");
  ImportRegistryFile(install.Path("Settings.reg").c_str());
  EXPECT_EQ(StringData(ReadMachineValue(key, "Port")), "COM3");
  ImportRegistryFile(install.Path("missing.reg").c_str());
  ImportRegistryFile(install.Folder().c_str());
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, key);
  SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Xelta\\Z614Import");
}
