// The running system as the setup sees it, for each Windows version a test run asks Wine for,
// and the setup's own resources: escapes in the string table become the characters they stand
// for, no numbered string is missing or cut by the 255-byte buffers, and the icon is there.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "sys/os_version.h"
#include "app/user_rights.h"
#include "res/resource.h"
#include "sys/module_instance.h"
#include "tests/win/wine_version.h"

namespace {

// Each version's answers to IsWin9x, IsWinNT, IsWin98SE, IsWinME, IsWin2000 and IsWinXP.
TEST(OsVersion, ReportsTheSystemOfThisRun) {
  const std::pair<std::string, const char*> table[] = {
      {"win95", "100000"}, {"win98", "101000"}, {"winme", "100100"},
      {"nt40", "010000"},  {"win2k", "010010"}, {"winxp", "010001"},
  };
  std::string answers;
  for (bool answer : {IsWin9x(), IsWinNT(), IsWin98SE(), IsWinME(), IsWin2000(), IsWinXP()}) {
    answers += answer ? '1' : '0';
  }
  for (const auto& expected : table) {
    if (expected.first != WineVersion()) continue;
    EXPECT_EQ(answers, expected.second);
    return;
  }
  FAIL() << "no expectation for " << WineVersion();
}

// Wine's user holds the Administrators alias, so the access check must grant it; a wrong
// descriptor or mapping would refuse every user.
TEST(OsVersion, AdministratorIsRecognised) {
  EXPECT_EQ(IsUserAdministrator(), 1);
  EXPECT_EQ(IsUserAdministrator(), 1) << "a second check after the impersonation ended";
}

std::string Text(UINT id) {
  char buffer[kTextBufferSize];
  LoadText(id, buffer);
  return buffer;
}

TEST(StringTable, EscapesAndEveryNumberedStringLoadWhole) {
  EXPECT_EQ(Text(IDS_STEP_INSTALL_COMPONENTS), "\tComponents");
  EXPECT_EQ(Text(IDS_ACTION_INSTALLING), "Installing\r\n");
  EXPECT_EQ(Text(IDS_ACTION_STOPPING), "Stopping\n");
  EXPECT_EQ(Text(IDS_CONFIRM_INSTALL).substr(82, 12), "installed.\n\n");
  const UINT ids[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 15, 16, 17, 18, 19, 20,
                      21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 37, 38, 39, 42, 43,
                      44, 47, 48, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65,
                      66, 67, 68, 69, 70, 71, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83, 84, 85, 87,
                      88, 89, 90, 91, 92, 93, 94, 95, 96, 97};
  for (UINT id : ids) {
    const std::string text = Text(id);
    EXPECT_FALSE(text.empty()) << "string " << id;
    EXPECT_LT(text.size(), kTextBufferSize - 1u) << "string " << id << " is cut";
  }
  EXPECT_NE(LoadIconA(instanceHandle, MAKEINTRESOURCEA(IDI_SETUP)), nullptr);
}

}  // namespace
