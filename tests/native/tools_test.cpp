// The release tools as release engineers run them, on real files. Every refusal is one clear
// line and a non-zero exit, never a crash or a file written outside the chosen folder.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/native/archive_images.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void WriteFile(const fs::path& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

// The last-write time of a file in FILETIME units, the resolution the archive keeps.
uint64_t WriteTimeOf(const fs::path& path) {
  struct stat st;
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  return (st.st_mtim.tv_sec + 11644473600ull) * 10000000ull + st.st_mtim.tv_nsec / 100;
}

struct ToolRun {
  int exitCode = -1;  // -1: the tool did not exit normally
  std::string out, err;
};

class Tools : public testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("z614_tools_test_" + std::to_string(getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "payload");
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string Path(const std::string& name) const { return (root_ / name).string(); }

  // <tree>/tools/NAME/NAME, beside this test's <tree>/tests/native, with its output caught.
  ToolRun Tool(const char* name, const std::vector<std::string>& args) {
    const fs::path tool = fs::read_symlink("/proc/self/exe").parent_path() / "../../tools" / name / name;
    std::string command = "'" + tool.lexically_normal().string() + "'";
    for (const std::string& arg : args) command += " '" + arg + "'";
    command += " >'" + Path("out.txt") + "' 2>'" + Path("err.txt") + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(Path("out.txt")), ReadFile(Path("err.txt"))};
  }
  // The peak memory of one run of the tool, in KiB, as its process reports it: what the tool
  // holds (the sanitizer keeps no freed memory back for this run), or this test's own peak
  // when that is higher, as the figure carries over from the process that started it.
  long PeakKilobytes(const char* name, const std::string& arg) {
    const std::string tool = (fs::read_symlink("/proc/self/exe").parent_path() / "../../tools" / name / name).string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(tool.c_str()), const_cast<char*>(arg.c_str()), nullptr};
    char env[] = "ASAN_OPTIONS=quarantine_size_mb=0";
    char* envp[] = {env, nullptr};
    pid_t pid = 0;
    EXPECT_EQ(posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv, envp), 0);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    struct rusage usage {};
    EXPECT_EQ(wait4(pid, &status, 0, &usage), pid);
    return usage.ru_maxrss;
  }
  ToolRun Pack(const std::vector<std::string>& args) { return Tool("z614pack", args); }
  ToolRun Check(const std::vector<std::string>& args) { return Tool("cnfcheck", args); }

  void ExpectRefused(const ToolRun& run, const std::string& because) {
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.exitCode, -1) << "the packer did not exit normally";
    EXPECT_EQ(run.err.rfind("z614pack: ", 0), 0u) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    EXPECT_NE(run.err.find(because), std::string::npos) << run.err;
  }

  fs::path root_;
};

TEST_F(Tools, APackedFileListsVerifiesAndExtractsAsItsFolder) {
  const std::string exe = "MZ" + std::string(3000, '\x90');
  WriteFile(Path("image.exe"), exe);
  // In ascending order of name without regard to case; B.nwp is longer than a read chunk.
  const std::vector<images::Entry> files = {
      {"a.NWP", "REGEDIT4\r\n"}, {"B.nwp", std::string(70000, 'b')}, {"Empty.txt", ""}, {"Setup.cnf", "[AddFile]"}};
  for (const images::Entry& f : files) WriteFile(root_ / "payload" / f.name, f.data);
  fs::create_directories(root_ / "payload" / "sub");  // folders are not packed
  ASSERT_EQ(Pack({"pack", Path("image.exe"), Path("payload"), Path("Setup.exe")}).exitCode, 0);

  // Name, size, CRC and data offset of each entry, as the setup's reader sees them.
  EXPECT_EQ(Pack({"list", Path("Setup.exe")}).out,
            "a.NWP\t10\t0C59D9C9\t3018\nB.nwp\t70000\t271667A2\t3028\n"
            "Empty.txt\t0\t00000000\t73028\nSetup.cnf\t9\tC2A5B943\t73028\n");
  const std::string packed = ReadFile(Path("Setup.exe"));
  EXPECT_EQ(packed.compare(0, exe.size(), exe), 0);
  EXPECT_EQ(Pack({"verify", Path("Setup.exe")}).exitCode, 0);

  ASSERT_EQ(Pack({"extract", Path("Setup.exe"), Path("out")}).exitCode, 0);
  for (const images::Entry& f : files) {  // with the write times the archive keeps
    EXPECT_EQ(ReadFile(root_ / "out" / f.name), f.data) << f.name;
    EXPECT_EQ(WriteTimeOf(root_ / "out" / f.name), WriteTimeOf(root_ / "payload" / f.name)) << f.name;
  }
  ASSERT_EQ(Pack({"extract", Path("Setup.exe"), Path("named"), "setup.CNF"}).exitCode, 0);
  EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "named"), fs::directory_iterator()), 1);

  // A changed byte is named by verify; extraction checks the same and leaves no damaged file.
  std::string damaged = packed;
  damaged[exe.size() + 16 + 3] ^= 0x01;
  WriteFile(Path("Setup.exe"), damaged);
  ExpectRefused(Pack({"verify", Path("Setup.exe")}), "entry 'a.NWP': CRC mismatch");
  ExpectRefused(Pack({"extract", Path("Setup.exe"), Path("bad"), "a.NWP"}), "CRC mismatch");
  EXPECT_FALSE(fs::exists(root_ / "bad" / "a.NWP"));
}

TEST_F(Tools, PackRefusesWhatTheSetupCouldNotUse) {
  WriteFile(Path("image.exe"), "MZ");
  const std::tuple<std::vector<const char*>, const char*, const char*> cases[] = {
      {{"Setup.cnf", "SETUP.CNF"}, "Setup.exe", "differ only in case"},
      {{"CON.txt"}, "Setup.exe", "DOS device name"},
      {{"Setup.cnf"}, "payload/Setup.exe", "must not be written into the payload folder"},
      {{}, "image.exe", "overwrite the executable"},
  };
  for (const auto& [files, out, because] : cases) {
    SCOPED_TRACE(because);
    fs::remove_all(root_ / "payload");
    fs::create_directories(root_ / "payload");
    for (const char* name : files) WriteFile(root_ / "payload" / name, name);
    ExpectRefused(Pack({"pack", Path("image.exe"), Path("payload"), Path(out)}), because);
    EXPECT_EQ(fs::exists(root_ / out), std::string(out) == "image.exe");
  }
  EXPECT_EQ(ReadFile(Path("image.exe")), "MZ");
  ExpectRefused(Pack({"pack", Path("image.exe"), Path("missing"), Path("Setup.exe")}), "not a folder");
}

TEST_F(Tools, ExtractRefusesNamesThatLeaveTheFolderAndFilesThatAreNoArchive) {
  for (const char* name : {"..\\escaped.txt", "/tmp/escaped.txt", "com1"}) {
    SCOPED_TRACE(name);
    WriteFile(Path("evil.exe"), images::Packed("MZ", {{"good.txt", "x"}, {name, "evil"}}));
    ExpectRefused(Pack({"extract", Path("evil.exe"), Path("out")}), "cannot be extracted");
    ExpectRefused(Pack({"extract", Path("evil.exe"), Path("out"), name}), "cannot be extracted");
    EXPECT_FALSE(fs::exists(root_ / "out" / "good.txt"));  // nothing is written at all
    EXPECT_FALSE(fs::exists(root_ / "escaped.txt"));
    EXPECT_FALSE(fs::exists("/tmp/escaped.txt"));
  }
  WriteFile(Path("twice.exe"), images::Packed("MZ", {{"good.txt", "x"}, {"GOOD.TXT", "y"}}));
  ExpectRefused(Pack({"extract", Path("twice.exe"), Path("out")}), "would be written to the same file");
  ExpectRefused(Pack({"extract", Path("twice.exe"), Path("out"), "other.txt"}), "no entry named 'other.txt'");
  // A foreign name with a tab, a line feed and a backslash is listed as one line of four fields.
  WriteFile(Path("odd.exe"), images::Packed("MZ", {{"a\tb\nc\\d", "x"}}));
  EXPECT_EQ(Pack({"list", Path("odd.exe")}).out.substr(0, 17), "a\\x09b\\x0Ac\\x5Cd\t");
  // Foreign, truncated and damaged files get a clear message from every command.
  const std::string packed = images::Packed("MZ", {{"Setup.cnf", "[AddFile]"}});
  WriteFile(Path("truncated.exe"), packed.substr(0, packed.size() - 3));
  std::string damaged = packed;
  damaged[packed.size() - 8 - 10 - 37 + 4] = 1;  // the storage flag of the only record
  WriteFile(Path("damaged.exe"), damaged);
  const std::pair<const char*, const char*> cases[] = {
      {"truncated.exe", "carries no archive"}, {"damaged.exe", "storage flag is not 0"}, {"gone.exe", "cannot open"}};
  for (const auto& [file, because] : cases) {
    ExpectRefused(Pack({"list", Path(file)}), because);
    ExpectRefused(Pack({"verify", Path(file)}), because);
    ExpectRefused(Pack({"extract", Path(file), Path("out")}), because);
  }
  EXPECT_EQ(Pack({"unpack", Path("damaged.exe")}).exitCode, 2);
}

// cnfcheck tells clean (0), warnings (1) and unreadable input (2) apart, and reads the payload
// from a packed file's archive.
TEST_F(Tools, CnfcheckExitStatusTellsCleanWarningsAndUnreadableApart) {
  WriteFile(Path("Setup.cnf"), "[AddFile.UI]\r\n:Z614UI.exe,%TARGETFOLDER%\\Z614UI.exe\r\n");
  WriteFile(Path("Setup.exe"), images::Packed("MZ", {{"Z614UI.exe", "program"}, {"Readme.txt", "read me"}}));
  WriteFile(Path("Other.exe"), images::Packed("MZ", {{"Readme.txt", "read me"}}));
  WriteFile(Path("Damaged.exe"), images::Packed("MZ", {{"Z614UI.exe", "program"}, {"", "nameless"}}));
  const std::tuple<std::string, int, std::string> cases[] = {
      {"Setup.exe", 0, "1 items, 1 run for the components, 0 warnings"},
      {"Other.exe", 1, "Setup.cnf:2: warning: the payload holds no entry \"Z614UI.exe\""},
      {"Damaged.exe", 2, "cnfcheck: " + Path("Damaged.exe") + ": "},
      {"absent.exe", 2, "cnfcheck: " + Path("absent.exe") + ": cannot be opened"},
  };
  for (const auto& [payload, exitCode, inOutput] : cases) {
    const ToolRun run = Check({"--payload", Path(payload), Path("Setup.cnf")});
    EXPECT_EQ(run.exitCode, exitCode) << run.out << run.err;
    EXPECT_NE((exitCode == 2 ? run.err : run.out).find(inOutput), std::string::npos) << run.out << run.err;
  }
  EXPECT_EQ(Check({Path("absent.cnf")}).err, "cnfcheck: " + Path("absent.cnf") + ": cannot be read\n");
}

// What already stands at an entry's place is never written through: a link (to a file
// outside, or dangling), a pipe and a folder are refused before anything is written; a hard
// link is replaced as a name, so the file it shares its bytes with keeps them.
TEST_F(Tools, ExtractNeverWritesThroughWhatStandsInTheFolder) {
  WriteFile(Path("Setup.exe"), images::Packed("MZ", {{"a.txt", "packed"}, {"b.txt", "b"}}));
  const std::pair<const char*, const char*> cases[] = {
      {"symlink", "a link stands"}, {"dangling", "a link stands"}, {"fifo", "pipe or device"},
      {"folder", "pipe or device"}, {"hardlink", nullptr}};
  for (const auto& [kind, because] : cases) {
    SCOPED_TRACE(kind);
    fs::remove_all(root_ / "out");
    fs::remove_all(root_ / "outside");
    fs::create_directories(root_ / "out");
    fs::create_directories(root_ / "outside");
    WriteFile(Path("outside/victim.txt"), "victim");
    const fs::path place = root_ / "out" / "a.txt";
    const std::string k = kind;
    if (k == "symlink") fs::create_symlink("../outside/victim.txt", place);
    if (k == "dangling") fs::create_symlink("../outside/created.txt", place);
    if (k == "fifo") {
      EXPECT_EQ(mkfifo(place.c_str(), 0600), 0);
    }
    if (k == "folder") fs::create_directories(place);
    if (k == "hardlink") fs::create_hard_link(root_ / "outside" / "victim.txt", place);
    const ToolRun run = Pack({"extract", Path("Setup.exe"), Path("out")});
    if (because) {
      ExpectRefused(run, because);
      EXPECT_FALSE(fs::exists(root_ / "out" / "b.txt"));  // refused before any write
    } else {
      EXPECT_EQ(run.exitCode, 0) << run.err;
      EXPECT_EQ(ReadFile(place), "packed");
    }
    EXPECT_EQ(ReadFile(Path("outside/victim.txt")), "victim");
    EXPECT_FALSE(fs::exists(root_ / "outside" / "created.txt"));
  }
}

// An entry whose bytes fail their CRC leaves the file it would have replaced as it was, and
// no temporary file behind.
TEST_F(Tools, AFailedEntryKeepsTheFileItWouldReplace) {
  std::string packed = images::Packed("MZ", {{"a.txt", "new bytes"}});
  packed[2 + 16] ^= 0x01;
  WriteFile(Path("Setup.exe"), packed);
  fs::create_directories(root_ / "keep");
  WriteFile(Path("keep/a.txt"), "old bytes");
  ExpectRefused(Pack({"extract", Path("Setup.exe"), Path("keep")}), "CRC mismatch");
  EXPECT_EQ(ReadFile(Path("keep/a.txt")), "old bytes");
  EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "keep"), fs::directory_iterator()), 1);
}

// Extracting every entry and looking entries up from a script cost time in proportion to the
// entries and lines, not to their product (which took minutes at these sizes).
TEST_F(Tools, ManyEntriesCostTimeInProportionToTheirNumber) {
  std::vector<images::Entry> entries;
  std::string script = "[AddFile]\n";
  for (int i = 0; i < 30000; ++i) {
    entries.push_back({"f" + std::to_string(100000 + i), ""});
    if (i % 2) script += ":F" + std::to_string(100000 + i) + ",%TARGETFOLDER%\\f\n";
  }
  WriteFile(Path("Many.exe"), images::Packed("MZ", entries));
  WriteFile(Path("Many.cnf"), script);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Pack({"extract", Path("Many.exe"), Path("many")}).exitCode, 0);
  EXPECT_EQ(Check({"--payload", Path("Many.exe"), Path("Many.cnf")}).exitCode, 1);  // every entry is empty
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(45));
  EXPECT_TRUE(fs::exists(root_ / "many" / "f129999"));
}

// The checker holds a few bytes per item, not the setup's item buffers of kilobytes: 60,000
// shortcut lines of five bytes once took hundreds of megabytes.
TEST_F(Tools, CnfcheckMemoryFollowsTheScriptsSize) {
  std::string script = "[AddShellLink]\n";
  for (int i = 0; i < 60000; ++i) script += ",,,,\n";
  WriteFile(Path("links.cnf"), script);
  struct rusage self {};
  getrusage(RUSAGE_SELF, &self);
  EXPECT_LT(PeakKilobytes("cnfcheck", Path("links.cnf")), self.ru_maxrss + 64 * 1024);
}

// Names that pack and extract refuse are named by verify too, and no control byte of a
// foreign name reaches the terminal; a link in the payload folder cannot feed the output
// into itself; a sparse file's claimed directory area is not read into memory.
TEST_F(Tools, ForeignArchivesAreReportedAsTheyAre) {
  for (const char* name : {"..\\evil.txt", "CON", "com0.log", "LPT0", "bell\a.txt"}) {
    SCOPED_TRACE(name);
    WriteFile(Path("foreign.exe"), images::Packed("MZ", {{name, "x"}}));
    ExpectRefused(Pack({"verify", Path("foreign.exe")}), "has a name that pack and extract refuse");
  }
  WriteFile(Path("escape.exe"), images::Packed("MZ", {{"a\x1b[2J\a", "x"}}));
  const ToolRun run = Pack({"extract", Path("escape.exe"), Path("out")});
  ExpectRefused(run, "'a\\x1B[2J\\x07'");
  WriteFile(Path("escape.cnf"), "[AddFile]\n:a\x1b[2J\a,%TARGETFOLDER%\\a\n");
  const ToolRun check = Check({Path("escape.cnf")});
  EXPECT_NE(check.out.find("source=\":a\\x1B[2J\\x07\""), std::string::npos) << check.out;

  WriteFile(Path("image.exe"), "MZ");
  WriteFile(Path("Setup.exe"), "an earlier build");
  fs::create_symlink(Path("Setup.exe"), root_ / "payload" / "Setup.lnk");
  ExpectRefused(Pack({"pack", Path("image.exe"), Path("payload"), Path("Setup.exe")}), "is the output file itself");

  const std::string head = "MZ" + std::string("QorFilenameBegin");
  WriteFile(Path("sparse.exe"), head);
  fs::resize_file(Path("sparse.exe"), 1ull << 30);
  std::string trailer = "\x02\0\0\0\x02\0\0\0";
  std::fstream(Path("sparse.exe"), std::ios::in | std::ios::out | std::ios::binary).seekp((1ll << 30) - 8).write(trailer.data(), 8);
  ExpectRefused(Pack({"list", Path("sparse.exe")}), "bytes the file holds on disk");
}

}  // namespace
