// The private window messages between the wizard frame, its pages and the workers.
// Workers send the three progress messages to their page (blocking until handled) and post
// kMsgWorkDone at their end.
#pragma once
#include <windows.h>

constexpr UINT kMsgProgressText = WM_USER + 1;     // wParam: zero-terminated text
constexpr UINT kMsgItemProgress = WM_USER + 2;     // wParam: 0 to 100, current item
constexpr UINT kMsgOverallProgress = WM_USER + 3;  // wParam: 0 to 100, all items
// Posted; wParam 0, or the exit code of a worker that stopped before it changed anything (1603
// when the payload check found a damaged entry), which ends the run with that code.
constexpr UINT kMsgWorkDone = WM_USER + 4;
constexpr UINT kMsgRefreshView = WM_USER + 101;
constexpr UINT kMsgPageBack = WM_USER + 201;
constexpr UINT kMsgPageNext = WM_USER + 202;
constexpr UINT kMsgQueryCancel = WM_USER + 203;
constexpr UINT kMsgPageShown = WM_USER + 204;
