// The operating-system tests of the running system.
#pragma once

bool IsWin9x();
bool IsWinNT();
bool IsWin98SE();
bool IsWinME();
bool IsWin2000();
bool IsWinXP();
