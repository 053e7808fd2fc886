// cnfcheck as release engineers run it: the built tool on real files. Exit status 0, 1 or 2
// tells clean, warnings and unreadable input apart; every refusal is one clear line; the
// payload is read from a folder or from the archive of a packed file.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/archive_format.h"
#include "tests/native/archive_images.h"
#include "tools/cnfcheck/payload_index.h"

namespace fs = std::filesystem;

namespace {

// The tool is built in the same tree: <tree>/tools/cnfcheck/cnfcheck, two levels above this
// test's folder <tree>/tests/native.
std::string CheckerPath() {
  if (const char* path = std::getenv("CNFCHECK")) return path;
  return (fs::read_symlink("/proc/self/exe").parent_path() / "../../tools/cnfcheck/cnfcheck").lexically_normal();
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void WriteFile(const fs::path& path, const std::string& content) { std::ofstream(path, std::ios::binary) << content; }

struct ToolRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

class CnfcheckTool : public testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("cnfcheck_test_" + std::to_string(getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "payload");
    WriteFile(Path("clean.cnf"), "[AddFile.UI]\r\n:Z614UI.exe,%TARGETFOLDER%\\Z614UI.exe\r\n");
    WriteFile(Path("faulty.cnf"), "[AddFile.UIX]\r\n:Z614UI.exe,%TARGETFOLDER%\\Z614UI.exe\r\n");
    WriteFile(Path("clean.reg"), "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\X]\r\n\"A\"=dword:00000001\r\n");
    WriteFile(Path("stops.reg"), "REGEDIT4\r\n\r\n[NOBACKSLASH]\r\n\"A\"=dword:00000001\r\n");
    WriteFile(root_ / "payload" / "Z614UI.exe", "program");
    ASSERT_TRUE(fs::exists(CheckerPath())) << CheckerPath();
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string Path(const char* name) const { return (root_ / name).string(); }

  ToolRun Check(const std::vector<std::string>& args) {
    std::string command = "'" + CheckerPath() + "'";
    for (const std::string& arg : args) command += " '" + arg + "'";
    command += " >'" + Path("out.txt") + "' 2>'" + Path("err.txt") + "'";
    ToolRun run;
    const int status = std::system(command.c_str());
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadFile(root_ / "out.txt");
    run.err = ReadFile(root_ / "err.txt");
    return run;
  }

  // A packed file: a few bytes of image and the archive the packer would append.
  std::string Packed(const std::vector<std::pair<const char*, std::string>>& entries) {
    struct Sink : ByteSink {
      std::string bytes = "MZ" + std::string(62, '\0');
      int Write(const void* data, size_t size) override {
        bytes.append(static_cast<const char*>(data), size);
        return 1;
      }
    } sink;
    ArchiveWriter writer(sink, sink.bytes.size());
    EXPECT_EQ(writer.Begin(), 1);
    for (const auto& entry : entries)
      EXPECT_EQ(writer.BeginEntry(entry.first, 0, 0) && writer.WriteEntryData(entry.second.data(), entry.second.size()) &&
                    writer.EndEntry(),
                1);
    EXPECT_EQ(writer.Finish(), 1);
    WriteFile(Path("Setup.exe"), sink.bytes);
    return Path("Setup.exe");
  }

  fs::path root_;
};

TEST_F(CnfcheckTool, ExitStatusTellsCleanWarningsAndUnreadableApart) {
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    const char* inOutput;  // stdout for 0 and 1, stderr for 2
  };
  const std::vector<Case> cases = {
      {{"--os", "winxp", Path("clean.cnf")}, 0, "1 items, 1 run for the components, 0 warnings"},
      {{"--payload", Path("payload"), Path("clean.cnf")}, 0, "0 warnings"},
      {{Path("faulty.cnf")}, 1, "faulty.cnf:1: warning: \"UIX\" is no tag"},
      {{"--components", "SMS", Path("faulty.cnf")}, 1, "components SMS (16)"},
      {{"--reg", Path("clean.reg")}, 0, "HKEY_LOCAL_MACHINE\\SOFTWARE\\X  \"A\"  REG_DWORD  1"},
      {{"--reg", Path("stops.reg")}, 1, "the import stops at line 3"},
      {{Path("absent.cnf")}, 2, "absent.cnf: cannot be read"},
      {{root_.string()}, 2, "cannot be read"},
      {{"--reg", Path("absent.reg")}, 2, "absent.reg: cannot be read"},
      {{"--payload", Path("absent"), Path("clean.cnf")}, 2, "absent: cannot be opened"},
      {{"--payload", Path("clean.reg"), Path("clean.cnf")}, 2, "is neither a folder nor a file with a payload archive"},
      {{"--os", "win95", Path("clean.cnf")}, 2, "unknown system \"win95\""},
      {{"--components", "UI,Modem", Path("clean.cnf")}, 2, "\"Modem\" is no component"},
      {{"--os"}, 2, "--os needs a value"},
      {{"--verbose", Path("clean.cnf")}, 2, "unknown option --verbose"},
      {{Path("clean.cnf"), Path("faulty.cnf")}, 2, "more than one script named"},
      {{}, 2, "name either a SCRIPT or --reg FILE"},
  };
  for (const Case& c : cases) {
    const ToolRun run = Check(c.args);
    const std::string& text = c.exitCode == 2 ? run.err : run.out;
    EXPECT_EQ(run.exitCode, c.exitCode) << run.out << run.err;
    EXPECT_NE(text.find(c.inOutput), std::string::npos) << text;
    if (c.exitCode == 2) {
      EXPECT_EQ(run.err.rfind("cnfcheck: ", 0), 0u) << run.err;
    }
  }
}

TEST_F(CnfcheckTool, JsonIsTheWholeOutput) {
  const ToolRun run = Check({"--json", "--os", "win2k", Path("faulty.cnf")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out.rfind("{\"items\": [\n  {\"list\": \"fileItems\", \"line\": 2,", 0), 0u) << run.out;
  EXPECT_EQ(run.out.substr(run.out.size() - 3), "]}\n");
  EXPECT_TRUE(run.err.empty());
}

TEST_F(CnfcheckTool, PackedPayloadIsReadFromItsArchive) {
  const std::string packed = Packed({{"Z614UI.exe", "program"}, {"Readme.txt", "read me"}});
  EXPECT_EQ(Check({"--payload", packed, Path("clean.cnf")}).exitCode, 0);
  const std::string withoutIt = Packed({{"Readme.txt", "read me"}});
  const ToolRun run = Check({"--payload", withoutIt, Path("clean.cnf")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("clean.cnf:2: warning: the payload holds no entry \"Z614UI.exe\""), std::string::npos) << run.out;
}

TEST_F(CnfcheckTool, PackedPayloadWithARefusedRecordIsUnreadable) {
  WriteFile(Path("Damaged.exe"), images::Packed("MZ", {{"Z614UI.exe", "program"}, {"", "nameless"}}));
  const ToolRun run = Check({"--payload", Path("Damaged.exe"), Path("clean.cnf")});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err.rfind("cnfcheck: " + Path("Damaged.exe") + ": ", 0), 0u) << run.err;
}

TEST_F(CnfcheckTool, PayloadIndexHoldsTheFolderFilesOnly) {
  fs::create_directories(root_ / "payload" / "sub");
  WriteFile(root_ / "payload" / "sub" / "Inner.txt", "not packed");
  WriteFile(root_ / "payload" / "Empty.txt", "");
  PayloadIndex index;
  std::string error;
  ASSERT_EQ(index.Load(Path("payload"), &error), 1) << error;
  EXPECT_EQ(index.Count(), 2u);
  ASSERT_NE(index.Find("z614ui.EXE"), nullptr);
  EXPECT_EQ(index.Find("z614ui.EXE")->size, 7u);
  EXPECT_EQ(index.Find("Inner.txt"), nullptr);
  EXPECT_EQ(index.Find("Empty.txt")->size, 0u);
}

}  // namespace
