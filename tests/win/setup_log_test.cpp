// The setup's log and the message boxes of an unattended run, written to a real file.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "sys/setup_log.h"
#include "sys/setup_message.h"
#include "tests/win/sys_test_support.h"

namespace {

std::vector<std::string> LogLines(const std::string& path) {
  std::string content;
  std::vector<std::string> lines;
  if (!ReadTestFile(path, &content)) return lines;
  for (size_t start = 0, end; (end = content.find("\r\n", start)) != std::string::npos;
       start = end + 2) {
    lines.push_back(content.substr(start, end - start));
  }
  return lines;
}

// "YYYY-MM-DD HH:MM:SS.mmm " and the text.
std::string TextOf(const std::string& line) { return line.size() < 24 ? "" : line.substr(24); }

TEST(SetupLog, AppendsStampedLinesAcrossRunsAndKeepsEachActionOnOneBoundedLine) {
  const std::string path = MakeScratchFolder("setup_log") + "\\setup.log";
  ASSERT_TRUE(WriteTestFile(path, "an earlier run\r\n"));
  LogAction("before the log is open");
  ASSERT_NE(OpenSetupLog(path.c_str()), 0);
  LogAction("AddFile written %s", "C:\\Xelta\\a.dll");
  LogAction("Message shown: %s", "two lines\r\n\r\nof text");
  CloseSetupLog();
  LogAction("after the log is closed");
  ASSERT_NE(OpenSetupLog(path.c_str()), 0);
  LogAction("%s", std::string(3000, 'x').c_str());
  FlushSetupLog();
  CloseSetupLog();

  const std::vector<std::string> lines = LogLines(path);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "an earlier run");
  EXPECT_EQ(TextOf(lines[1]), "AddFile written C:\\Xelta\\a.dll");
  EXPECT_EQ(TextOf(lines[2]), "Message shown: two lines of text");
  EXPECT_EQ(lines[3].size(), 1021u);  // 1024 bytes with CR LF and room for the zero
  const std::regex stamp("\\d{4}(-\\d\\d){2}( \\d\\d|:\\d\\d){3}\\.\\d{3} ");
  EXPECT_TRUE(std::regex_match(lines[1].substr(0, 24), stamp)) << lines[1];
  EXPECT_EQ(OpenSetupLog("C:\\z614\\sys\\no-such-folder\\setup.log"), 0);
}

TEST(SetupMessage, AnUnattendedRunAnswersCarefullyAndLogsTheBoxInsteadOfShowingIt) {
  const std::string path = MakeScratchFolder("setup_message") + "\\setup.log";
  ASSERT_NE(OpenSetupLog(path.c_str()), 0);
  SetUnattended(1);
  const struct {
    unsigned int type;
    int answer;
  } cases[] = {
      {MB_OK | MB_ICONSTOP, IDOK},
      {MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2, IDNO},
      {MB_OKCANCEL, IDCANCEL},
      {MB_YESNOCANCEL | MB_DEFBUTTON1, IDCANCEL},
      {MB_RETRYCANCEL, IDCANCEL},
      {MB_ABORTRETRYIGNORE, IDABORT},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShowSetupMessage(nullptr, "text", "Xelta Z614", c.type), c.answer) << c.type;
  }
  EXPECT_EQ(ShowSetupMessageOr(nullptr, "Restart now?", "Xelta Z614", MB_YESNO, IDYES), IDYES);
  SetUnattended(0);
  EXPECT_EQ(IsUnattended(), 0);
  CloseSetupLog();

  const std::vector<std::string> lines = LogLines(path);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(TextOf(lines[1]), "Message suppressed, answered No: Xelta Z614: text");
  EXPECT_EQ(TextOf(lines[6]), "Message suppressed, answered Yes: Xelta Z614: Restart now?");
}

}  // namespace
