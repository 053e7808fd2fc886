// The running system as the setup sees it, for each Windows version a test run asks Wine for.
#include <gtest/gtest.h>

#include <string>

#include "app/os_version.h"
#include "app/user_rights.h"
#include "tests/win/wine_version.h"

namespace {

TEST(OsVersion, ReportsTheSystemOfThisRun) {
  struct Expected {
    const char* version;
    bool nine, nt, se, me, w2k, xp;
  } table[] = {
      {"win95", true, false, false, false, false, false},
      {"win98", true, false, true, false, false, false},
      {"winme", true, false, false, true, false, false},
      {"nt40", false, true, false, false, false, false},
      {"win2k", false, true, false, false, true, false},
      {"winxp", false, true, false, false, false, true},
  };
  for (const Expected& e : table) {
    if (std::string(e.version) != WineVersion()) continue;
    EXPECT_EQ(IsWin9x(), e.nine);
    EXPECT_EQ(IsWinNT(), e.nt);
    EXPECT_EQ(IsWin98SE(), e.se);
    EXPECT_EQ(IsWinME(), e.me);
    EXPECT_EQ(IsWin2000(), e.w2k);
    EXPECT_EQ(IsWinXP(), e.xp);
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

}  // namespace
