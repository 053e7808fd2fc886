// The packer as release engineers run it: the built z614pack executable on real files.
// A packed file reads back as its folder, verify notices a changed byte, and every refusal
// ends with one clear line and a non-zero exit, never a crash or a file outside the folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/archive_format.h"
#include "core/crc32.h"
#include "tests/native/archive_images.h"
#include "tests/native/tool_run.h"

namespace fs = std::filesystem;

namespace {

using tool_run::ReadFile;
using tool_run::WriteFile;

// The last-write time of a file in FILETIME units, the resolution the archive keeps.
uint64_t WriteTimeOf(const fs::path& path) {
  struct stat st;
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  return (st.st_mtim.tv_sec + 11644473600ull) * 10000000ull + st.st_mtim.tv_nsec / 100;
}

class Z614Pack : public testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("z614pack_test_" + std::to_string(getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "payload");
    ASSERT_TRUE(fs::exists(packer_)) << packer_;
  }
  void TearDown() override { fs::remove_all(root_); }

  tool_run::Run Pack(const std::vector<std::string>& args) { return tool_run::RunTool(packer_, args, root_); }

  // A failed command says why on one line of its own and exits non-zero.
  void ExpectRefused(const tool_run::Run& run, const std::string& because) {
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.exitCode, -1) << "the packer did not exit normally";
    EXPECT_EQ(run.err.rfind("z614pack: ", 0), 0u) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    EXPECT_NE(run.err.find(because), std::string::npos) << run.err;
  }

  std::string Path(const char* name) const { return (root_ / name).string(); }

  // A packed file built with the archive writer, for names the packer would never store.
  std::string Handmade(const std::vector<const char*>& names) {
    std::vector<images::Entry> entries;
    for (const char* name : names) entries.push_back({name, "evil"});
    const std::string bytes = images::Written(entries);
    EXPECT_FALSE(bytes.empty());
    WriteFile(Path("handmade.exe"), bytes);
    return Path("handmade.exe");
  }

  const std::string packer_ = tool_run::ToolPath("z614pack", "Z614PACK");
  fs::path root_;
};

TEST_F(Z614Pack, APackedFileListsVerifiesAndExtractsAsItsFolder) {
  const std::string exe = "MZ" + std::string(3000, '\x90');
  WriteFile(Path("image.exe"), exe);
  struct File {
    const char* name;
    std::string data;
  };
  // Listed in ascending order of name without regard to case.
  const std::vector<File> files = {
      {"a.NWP", "REGEDIT4\r\n"},
      {"B.nwp", std::string(70000, 'b')},
      {"Empty.txt", ""},
      {"mod_adm.dll", std::string(1 << 20, '\x01') + "tail"},
      {"Setup.cnf", "[AddFile]\r\n"},
  };
  for (const File& f : files) WriteFile(root_ / "payload" / f.name, f.data);
  fs::create_directories(root_ / "payload" / "sub");  // folders are not packed
  WriteFile(root_ / "payload" / "sub" / "inner.txt", "not packed");

  ASSERT_EQ(Pack({"pack", Path("image.exe"), Path("payload"), Path("Setup.exe")}).exitCode, 0);
  const std::string packed = ReadFile(Path("Setup.exe"));
  EXPECT_EQ(packed.compare(0, exe.size(), exe), 0);

  // The directory as the setup's reader sees it.
  images::MemorySource source(packed);
  ArchiveLayout layout;
  ReadArchive(source, &layout);
  ASSERT_EQ(layout.result, ArchiveReadResult::kDirectory);
  EXPECT_EQ(layout.payloadStart, exe.size());
  ASSERT_EQ(layout.directory.records.size(), files.size());
  std::string listing;
  uint32_t offset = static_cast<uint32_t>(exe.size() + 16);
  for (size_t i = 0; i < files.size(); ++i) {
    const ArchiveRecord& r = layout.directory.records[i];
    const uint32_t crc = Crc32(files[i].data.data(), files[i].data.size());
    EXPECT_STREQ(r.name, files[i].name);
    EXPECT_EQ(r.dataOffset, offset);
    EXPECT_EQ(r.size, files[i].data.size());
    EXPECT_EQ(r.crc, crc);
    EXPECT_EQ(r.writeTime, WriteTimeOf(root_ / "payload" / files[i].name));
    char line[400];
    std::snprintf(line, sizeof line, "%s\t%u\t%08X\t%u\n", files[i].name, r.size, crc, offset);
    listing += line;
    offset += r.size;
  }
  EXPECT_EQ(layout.directoryOffset, offset);

  const tool_run::Run list = Pack({"list", Path("Setup.exe")});
  EXPECT_EQ(list.exitCode, 0);
  EXPECT_EQ(list.out, listing);
  const tool_run::Run verify = Pack({"verify", Path("Setup.exe")});
  EXPECT_EQ(verify.exitCode, 0) << verify.err;

  ASSERT_EQ(Pack({"extract", Path("Setup.exe"), Path("out")}).exitCode, 0);
  for (const File& f : files) {
    SCOPED_TRACE(f.name);
    EXPECT_EQ(ReadFile(root_ / "out" / f.name), f.data);
    EXPECT_EQ(WriteTimeOf(root_ / "out" / f.name), WriteTimeOf(root_ / "payload" / f.name));
  }
  ASSERT_EQ(Pack({"extract", Path("Setup.exe"), Path("named"), "setup.CNF"}).exitCode, 0);
  EXPECT_EQ(ReadFile(root_ / "named" / "Setup.cnf"), "[AddFile]\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "named"), fs::directory_iterator()), 1);
}

TEST_F(Z614Pack, VerifyNamesTheEntryWhoseByteChanged) {
  WriteFile(Path("image.exe"), "MZ");
  WriteFile(root_ / "payload" / "Setup.cnf", "[AddFile]\r\n");
  WriteFile(root_ / "payload" / "Readme.txt", "read me");
  ASSERT_EQ(Pack({"pack", Path("image.exe"), Path("payload"), Path("Setup.exe")}).exitCode, 0);
  std::string packed = ReadFile(Path("Setup.exe"));
  packed[2 + 16 + 3] ^= 0x01;  // inside Readme.txt, the first entry
  WriteFile(Path("Setup.exe"), packed);
  ExpectRefused(Pack({"verify", Path("Setup.exe")}), "entry 'Readme.txt': CRC mismatch");
  // Extraction checks the same and leaves no damaged file behind.
  ExpectRefused(Pack({"extract", Path("Setup.exe"), Path("out"), "Readme.txt"}), "CRC mismatch");
  EXPECT_FALSE(fs::exists(root_ / "out" / "Readme.txt"));
}

TEST_F(Z614Pack, PackRefusesWhatTheSetupCouldNotUse) {
  WriteFile(Path("image.exe"), "MZ");
  struct Case {
    const char* what;
    std::vector<const char*> files;
    const char* out;  // relative to the test folder
    const char* because;
  };
  const Case cases[] = {
      {"names differing only in case", {"Setup.cnf", "SETUP.CNF"}, "Setup.exe", "differ only in case"},
      {"a device name", {"CON.txt"}, "Setup.exe", "DOS device name"},
      {"a colon", {"a:b"}, "Setup.exe", "colon"},
      {"a backslash", {"sub\\file"}, "Setup.exe", "path separator"},
      {"output inside the payload", {"Setup.cnf"}, "payload/Setup.exe", "must not be written into the payload folder"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(root_ / "payload");
    fs::create_directories(root_ / "payload");
    for (const char* name : c.files) WriteFile(root_ / "payload" / name, name);
    ExpectRefused(Pack({"pack", Path("image.exe"), Path("payload"), Path(c.out)}), c.because);
    EXPECT_FALSE(fs::exists(root_ / c.out));
  }
  fs::remove_all(root_ / "payload");
  fs::create_directories(root_ / "payload");
  ExpectRefused(Pack({"pack", Path("missing.exe"), Path("payload"), Path("Setup.exe")}), "missing.exe");
  ExpectRefused(Pack({"pack", Path("image.exe"), Path("missing"), Path("Setup.exe")}), "not a folder");
  ExpectRefused(Pack({"pack", Path("image.exe"), Path("payload"), Path("image.exe")}), "overwrite the executable");
  EXPECT_EQ(ReadFile(Path("image.exe")), "MZ");
}

TEST_F(Z614Pack, PackRefusesOffsetsPastFourGiB) {
  // A sparse executable just short of the limit costs no disk space.
  { std::ofstream(Path("huge.exe")); }
  fs::resize_file(Path("huge.exe"), 0xFFFFFFFFull - 16 - 10);
  WriteFile(root_ / "payload" / "a.bin", std::string(10, 'a'));
  WriteFile(root_ / "payload" / "b.bin", std::string(1, 'b'));
  ExpectRefused(Pack({"pack", Path("huge.exe"), Path("payload"), Path("Setup.exe")}), "4 GiB offset limit of the archive (at b.bin)");
  EXPECT_FALSE(fs::exists(Path("Setup.exe")));
}

TEST_F(Z614Pack, ExtractRefusesNamesThatLeaveTheFolder) {
  const char* const evil[] = {"../escaped.txt", "..\\escaped.txt", "sub/escaped.txt", "C:escaped.txt",
                              "/tmp/escaped.txt", "..", "NUL.txt", "com1", "Lpt9.log", "aux "};
  for (const char* name : evil) {
    SCOPED_TRACE(name);
    const std::string archive = Handmade({"good.txt", name});
    ExpectRefused(Pack({"extract", archive, Path("out")}), "cannot be extracted");
    ExpectRefused(Pack({"extract", archive, Path("out"), name}), "cannot be extracted");
    EXPECT_FALSE(fs::exists(root_ / "out" / "good.txt"));  // nothing is written at all
    EXPECT_FALSE(fs::exists(root_ / "escaped.txt"));
    EXPECT_FALSE(fs::exists("/tmp/escaped.txt"));
  }
  ExpectRefused(Pack({"extract", Handmade({"good.txt"}), Path("out"), "other.txt"}), "no entry named 'other.txt'");
  ExpectRefused(Pack({"extract", Handmade({"good.txt", "GOOD.TXT"}), Path("out")}), "would be written to the same file");
}

TEST_F(Z614Pack, ForeignTruncatedAndDamagedFilesGetAClearMessage) {
  WriteFile(Path("image.exe"), "MZ" + std::string(100, '\x90'));
  WriteFile(root_ / "payload" / "Setup.cnf", "[AddFile]\r\n");
  ASSERT_EQ(Pack({"pack", Path("image.exe"), Path("payload"), Path("Setup.exe")}).exitCode, 0);
  const std::string packed = ReadFile(Path("Setup.exe"));
  WriteFile(Path("truncated.exe"), packed.substr(0, packed.size() - 3));
  WriteFile(Path("empty.exe"), "");
  std::string damaged = packed;
  damaged[packed.size() - 8 - 10 - 37 + 4] = 1;  // the storage flag of the only record
  WriteFile(Path("damaged.exe"), damaged);

  struct Case {
    const char* file;
    const char* because;
  };
  const Case cases[] = {
      {"image.exe", "carries no archive"},     {"truncated.exe", "carries no archive"},
      {"empty.exe", "carries no archive"},     {"damaged.exe", "storage flag is not 0"},
      {"missing.exe", "cannot open"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ExpectRefused(Pack({"list", Path(c.file)}), c.because);
    ExpectRefused(Pack({"verify", Path(c.file)}), c.because);
    ExpectRefused(Pack({"extract", Path(c.file), Path("out")}), c.because);
  }
  EXPECT_EQ(Pack({}).exitCode, 2);
  EXPECT_EQ(Pack({"pack", Path("image.exe")}).exitCode, 2);
  EXPECT_EQ(Pack({"unpack", Path("Setup.exe")}).exitCode, 2);
}

}  // namespace
