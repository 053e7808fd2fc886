// The operating-system tests of the running system.
#pragma once

#include "core/os_family.h"

// The version facts of the running system as GetVersionExA reports them (all zero when the
// query fails). Asked afresh on every call; the tests below use it, and the script loader
// selects sections with it.
OsVersion QueryOsVersion();

bool IsWin9x();
bool IsWinNT();
bool IsWin98SE();
bool IsWinME();
bool IsWin2000();
bool IsWinXP();
