// cnfcheck as release engineers run it: the built tool on real files. Exit status 0, 1 or 2
// tells clean, warnings and unreadable input apart; every refusal is one clear line; the
// payload is read from a folder or from the archive of a packed file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/native/archive_images.h"
#include "tests/native/tool_run.h"
#include "tools/cnfcheck/payload_index.h"

namespace fs = std::filesystem;

namespace {

using tool_run::WriteFile;

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
    ASSERT_TRUE(fs::exists(checker_)) << checker_;
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string Path(const char* name) const { return (root_ / name).string(); }

  tool_run::Run Check(const std::vector<std::string>& args) { return tool_run::RunTool(checker_, args, root_); }

  const std::string checker_ = tool_run::ToolPath("cnfcheck", "CNFCHECK");
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
    const tool_run::Run run = Check(c.args);
    const std::string& text = c.exitCode == 2 ? run.err : run.out;
    EXPECT_EQ(run.exitCode, c.exitCode) << run.out << run.err;
    EXPECT_NE(text.find(c.inOutput), std::string::npos) << text;
    if (c.exitCode == 2) {
      EXPECT_EQ(run.err.rfind("cnfcheck: ", 0), 0u) << run.err;
    }
  }
}

TEST_F(CnfcheckTool, JsonIsTheWholeOutput) {
  const tool_run::Run run = Check({"--json", "--os", "win2k", Path("faulty.cnf")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out.rfind("{\"items\": [\n  {\"list\": \"fileItems\", \"line\": 2,", 0), 0u) << run.out;
  EXPECT_EQ(run.out.substr(run.out.size() - 3), "]}\n");
  EXPECT_TRUE(run.err.empty());
}

TEST_F(CnfcheckTool, PackedPayloadIsReadFromItsArchive) {
  WriteFile(Path("Setup.exe"), images::Written({{"Z614UI.exe", "program"}, {"Readme.txt", "read me"}}));
  EXPECT_EQ(Check({"--payload", Path("Setup.exe"), Path("clean.cnf")}).exitCode, 0);
  WriteFile(Path("Setup.exe"), images::Written({{"Readme.txt", "read me"}}));
  const tool_run::Run run = Check({"--payload", Path("Setup.exe"), Path("clean.cnf")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("clean.cnf:2: warning: the payload holds no entry \"Z614UI.exe\""), std::string::npos) << run.out;
}

TEST_F(CnfcheckTool, PackedPayloadWithARefusedRecordIsUnreadable) {
  WriteFile(Path("Damaged.exe"), images::Packed("MZ", {{"Z614UI.exe", "program"}, {"", "nameless"}}));
  const tool_run::Run run = Check({"--payload", Path("Damaged.exe"), Path("clean.cnf")});
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
