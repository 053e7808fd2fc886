// Which entry names may become files inside a chosen folder: none that leaves it, opens a
// device or that Windows would quietly rename.
#include <gtest/gtest.h>

#include <string>

#include "core/entry_name_rules.h"

namespace {

TEST(CheckPlainFileName, PlainNamesPass) {
  const std::string longest(259, 'n');
  const char* const names[] = {"Setup.cnf", "mod_adm.dll", "Watermark.bmp", "CONFIG.SYS", "console.txt",
                               "COM10",     "LPT0.txt",    "NULL.dat",      ".profile",   "a b.txt",
                               "x.tar.gz",  longest.c_str()};
  for (const char* name : names) {
    const char* reason = nullptr;
    EXPECT_EQ(CheckPlainFileName(name, &reason), 1) << name << ": " << (reason ? reason : "");
  }
}

TEST(CheckPlainFileName, NamesThatCouldLeaveTheFolderOrOpenADeviceAreRefused) {
  const std::string tooLong(260, 'n');
  const char* const names[] = {
      "",          ".",          "..",       "../Setup.exe", "..\\Setup.exe", "sub/file",  "sub\\file",
      "C:file",    "file:stream", "C:\\x",   "/etc/passwd",  "a..b",          "CON",       "con",
      "Con.txt",   "nul.tar.gz",  "AUX ",    "aux .log",     "PRN.",          "COM1",      "com9.log",
      "LPT1",      "lpt9.x",      "CONIN$",  "clock$.dat",   "name.",         "name ",     "a*b",
      "what?",     "pipe|name",   "<in>",    "quote\"d",     "tab\tname",     "caf\xE9",   tooLong.c_str(),
  };
  for (const char* name : names) {
    const char* reason = nullptr;
    EXPECT_EQ(CheckPlainFileName(name, &reason), 0) << "'" << name << "'";
    EXPECT_NE(reason, nullptr) << "'" << name << "'";
  }
  EXPECT_EQ(CheckPlainFileName(nullptr, nullptr), 0);
}

}  // namespace
