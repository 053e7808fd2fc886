#include "core/os_family.h"

#include <gtest/gtest.h>

namespace {

TEST(OsFamily, ClassifiesTheReportedVersions) {
  struct Case {
    const char* name;
    OsVersion v;
    bool nine, nt, se, me, w2k, xp, supported;
  } cases[] = {
      {"Windows 95", {1, 4, 0, 950}, true, false, false, false, false, false, false},
      {"Windows 98", {1, 4, 10, (4u << 24) | (10u << 16) | 1998}, true, false, false, false, false, false, false},
      {"Windows 98 SE", {1, 4, 10, (4u << 24) | (10u << 16) | 2222}, true, false, true, false, false, false, true},
      {"98 at the boundary", {1, 4, 10, 2183}, true, false, true, false, false, false, true},
      {"Windows ME", {1, 4, 90, (4u << 24) | (90u << 16) | 3000}, true, false, false, true, false, false, true},
      {"NT 4.0", {2, 4, 0, 1381}, false, true, false, false, false, false, false},
      {"Windows 2000", {2, 5, 0, 2195}, false, true, false, false, true, false, true},
      {"Windows XP", {2, 5, 1, 2600}, false, true, false, false, false, true, true},
      {"Windows 7", {2, 6, 1, 7601}, false, true, false, false, false, false, false},
      {"Win32s", {0, 3, 10, 0}, false, false, false, false, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsWin9x(c.v), c.nine);
    EXPECT_EQ(IsWinNT(c.v), c.nt);
    EXPECT_EQ(IsWin98SE(c.v), c.se);
    EXPECT_EQ(IsWinME(c.v), c.me);
    EXPECT_EQ(IsWin2000(c.v), c.w2k);
    EXPECT_EQ(IsWinXP(c.v), c.xp);
    EXPECT_EQ(IsSupportedSystem(c.v), c.supported);
  }
}

}  // namespace
