// Profile collection against a packed archive and a folder beside the "started executable":
// archive entries first in directory order, then the folder's files; "*.NWP" files only with
// the "regedit4" header in any case, "*.NWK" files whatever they hold; empty archives and
// folders leave the lists empty; an entry without bytes stays with size 0.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "payload/payload_archive.h"
#include "core/bounded_string.h"
#include "device/profile_collection.h"
#include "sys/setup_context.h"
#include "tests/win/script_run_support.h"

namespace {

using namespace script_test;

// Collects from a packed setup of the given entries and the source folder's files.
struct Collector : SourceFolder {
  explicit Collector(const char* name) : SourceFolder(name) {}
  ~Collector() { archive.Clear(); }
  void Collect(const std::vector<PackedEntry>& entries) {
    ASSERT_TRUE(WriteTestFile(scratch.Path("Z614Setup.exe"), Packed(entries)));
    ASSERT_NE(archive.Open(scratch.Path("Z614Setup.exe").c_str()), 0);
    CollectNwpProfiles(context, archive);
    CollectNwkProfiles(context, archive);
  }
  PayloadArchive archive;
};

std::vector<std::string> Names(const OwnedList<ProfileText>& list) {
  std::vector<std::string> names;
  for (size_t i = 0; i < list.Count(); ++i) names.emplace_back(list.At(i)->name);
  return names;
}

TEST(ProfileCollection, ArchiveEntriesComeFirstThenTheFilesBesideTheExecutable) {
  Collector c("profiles_order");
  c.Beside("Admin.nwp", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta\\Admin]\r\n");
  c.Beside("lower.NWP", "regedit4\r\n");
  c.Beside("mixed.Nwp", "RegEdit4");
  c.Beside("Unicode.nwp", "Windows Registry Editor Version 5.00\r\n");  // not collected
  c.Beside("short.nwp", "REGEDIT");                                       // not collected
  c.Beside("Site.NWK", "no header needed");
  c.Beside("notes.txt", "REGEDIT4\r\n");
  c.Collect({{"default.nwp", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta]\r\n"},
             {"Setup.cnf", "[AddFile]\r\n"},
             {"Operator.NWP", "REGEDIT4\r\n"},
             {"network.nwk", "anything at all"},
             {"profile.nwp.bak", "REGEDIT4\r\n"}});

  const std::vector<std::string> nwp = Names(c.context.nwpProfiles);
  ASSERT_EQ(nwp.size(), 5u);
  EXPECT_EQ(nwp[0], "default.nwp");
  EXPECT_EQ(nwp[1], "Operator.NWP");
  // The folder's files in the order the file system lists them, named by their full paths.
  std::vector<std::string> folderFiles(nwp.begin() + 2, nwp.end());
  std::sort(folderFiles.begin(), folderFiles.end());
  const std::string src = c.scratch.Path("src\\");
  EXPECT_EQ(folderFiles, (std::vector<std::string>{src + "Admin.nwp", src + "lower.NWP", src + "mixed.Nwp"}));

  const ProfileText& first = *c.context.nwpProfiles.At(0);
  EXPECT_EQ(BytesText(first.data.get(), first.size), "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta]\r\n");
  for (size_t i = 2; i < c.context.nwpProfiles.Count(); ++i) {
    const ProfileText& text = *c.context.nwpProfiles.At(i);
    EXPECT_EQ(BytesText(text.data.get(), text.size), ReadText(text.name)) << text.name;
  }
  EXPECT_EQ(Names(c.context.nwkProfiles), (std::vector<std::string>{"network.nwk", src + "Site.NWK"}));
  const ProfileText& site = *c.context.nwkProfiles.At(1);
  EXPECT_EQ(BytesText(site.data.get(), site.size), "no header needed");
}

TEST(ProfileCollection, NothingToCollectLeavesTheListsEmpty) {
  Collector c("profiles_none");
  c.Beside("Readme.txt", "REGEDIT4");
  c.Collect({{"Setup.cnf", "[AddFile]\r\n"}});
  EXPECT_EQ(c.context.nwpProfiles.Count(), 0u);
  EXPECT_EQ(c.context.nwkProfiles.Count(), 0u);
  c.context.ApplyProfileTexts(c.context.nwpProfiles);  // does nothing
}

TEST(ProfileCollection, AnEntryWithoutBytesStaysWithSizeZeroAndEmptyFilesAreKept) {
  Collector c("profiles_empty");
  c.Beside("empty.nwk", "");
  c.Beside("empty.nwp", "");  // shorter than the header: dropped
  c.Collect({{"empty.nwk", ""}, {"full.nwk", "x"}});
  EXPECT_EQ(c.context.nwpProfiles.Count(), 0u);
  ASSERT_EQ(c.context.nwkProfiles.Count(), 3u);
  EXPECT_STREQ(c.context.nwkProfiles.At(0)->name, "empty.nwk");
  EXPECT_EQ(c.context.nwkProfiles.At(0)->size, 0u);
  EXPECT_EQ(c.context.nwkProfiles.At(1)->size, 1u);
  EXPECT_EQ(c.context.nwkProfiles.At(2)->size, 0u);
  EXPECT_EQ(std::string(c.context.nwkProfiles.At(2)->name), c.scratch.Path("src\\empty.nwk"));
}

TEST(ProfileCollection, AnEmptySourceFolderCollectsTheArchiveOnly) {
  Collector c("profiles_nosource");
  c.context.sourceFolder[0] = '\0';
  c.Collect({{"default.nwp", "REGEDIT4\r\n"}});
  EXPECT_EQ(Names(c.context.nwpProfiles), (std::vector<std::string>{"default.nwp"}));
  EXPECT_EQ(c.context.nwkProfiles.Count(), 0u);
}

}  // namespace
