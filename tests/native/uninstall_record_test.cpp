#include "core/uninstall_record.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Record(const char* action, const char* line, ComponentSet mask) {
  char out[kUninstallRecordSize];
  const size_t length = FormatUninstallRecord(action, line, mask, out, sizeof out);
  EXPECT_EQ(length, std::string(out).size());
  return out;
}

TEST(UninstallRecord, TagsFollowTheMaskInTheirFixedOrder) {
  struct Case {
    ComponentSet mask;
    const char* header;
  } cases[] = {
      {0, "[AddFile]"},
      {kAllComponents, "[AddFile]"},
      {kComponentUI, "[AddFile.UI]"},
      {kComponentUI | kComponentHelp, "[AddFile.UI.Help]"},
      {kComponentAdmin | kComponentUI, "[AddFile.Admin.UI]"},
      {kComponentSC | kComponentDriver, "[AddFile.Driver.SC]"},
      {kComponentSMS, "[AddFile.SMS]"},
      {kAllComponents & ~kComponentSC, "[AddFile.Admin.UI.Driver.Help.SMS]"},
      {kAllComponents & ~kComponentUI, "[AddFile.Admin.Driver.Help.SMS.SC]"},
      {0x40, "[AddFile]"},  // bits beyond the six write nothing
      {0x40 | kAllComponents, "[AddFile.Admin.UI.Driver.Help.SMS.SC]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mask);
    EXPECT_EQ(Record("AddFile", ",C:\\Apps\\a.exe", c.mask),
              std::string(c.header) + "\r\n,C:\\Apps\\a.exe\r\n\r\n");
  }
}

TEST(UninstallRecord, ShortcutFolderAndPrecacheOnlyRecords) {
  EXPECT_EQ(Record("AddShellLink", "C:\\Menu\\Readme.lnk,,,,", kComponentHelp | kComponentUI),
            "[AddShellLink.UI.Help]\r\nC:\\Menu\\Readme.lnk,,,,\r\n\r\n");
  EXPECT_EQ(Record("AddFolder", "C:\\Apps", 0), "[AddFolder]\r\nC:\\Apps\r\n\r\n");
  EXPECT_EQ(Record("AddFile", ",", 0), "[AddFile]\r\n,\r\n\r\n");  // a precache-only line
}

TEST(UninstallRecord, ARecordBeyondTheBufferIsRefused) {
  const std::string line(4095, 'x');
  char out[kUninstallRecordSize];
  EXPECT_GT(FormatUninstallRecord("AddShellLink", line.c_str(), 0x3E, out, sizeof out), 4095u);
  char small[25];  // "[AddFolder]", CR LF, "C:\Apps", CR LF CR LF: 24 characters
  EXPECT_EQ(FormatUninstallRecord("AddFolder", "C:\\Apps", 0, small, sizeof small), 24u);
  EXPECT_EQ(FormatUninstallRecord("AddFolder", "C:\\Apps\\B", 0, small, sizeof small), 0u);
  EXPECT_STREQ(small, "");
}

}  // namespace
