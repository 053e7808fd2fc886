#include "wizard/unattended_work.h"

#include "sys/module_instance.h"
#include "wizard/wizard_frame.h"
#include "wizard/wizard_messages.h"

namespace {

constexpr char kWorkWindowClass[] = "Z614UnattendedWork";

// The worker reads its window through this variable, as it reads its page's.
HWND workWindow = nullptr;

// Progress goes nowhere; the end of the work ends the message loop with the worker's code.
LRESULT CALLBACK WorkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMsgWorkDone) {
    PostQuitMessage(static_cast<int>(wParam));
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The worker on its own thread, as under its page; this thread answers the worker's sent
// messages (and any other program's) until the work is done.
int RunWithoutWindow(LPTHREAD_START_ROUTINE worker) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = WorkWindowProc;
  windowClass.hInstance = instanceHandle;
  windowClass.lpszClassName = kWorkWindowClass;
  RegisterClassA(&windowClass);
  // Never shown: no WS_VISIBLE, and nothing ever calls ShowWindow on it.
  workWindow = CreateWindowExA(0, kWorkWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               instanceHandle, nullptr);
  if (!workWindow) return kExitFailed;
  HANDLE thread = CreateThread(nullptr, 0, worker, &workWindow, 0, nullptr);
  if (!thread) {
    DestroyWindow(workWindow);
    return kExitFailed;
  }
  MSG message = {};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  DestroyWindow(workWindow);
  workWindow = nullptr;
  return static_cast<int>(message.wParam);
}

}  // namespace

int RunUnattendedWork(RunVisibility visibility, const UnattendedWork& work) {
  if (visibility == RunVisibility::kVerySilent) return RunWithoutWindow(work.worker);
  // The progress page is the frame's only page: its WorkDone moves past the last page, which
  // ends the frame.
  wizardFrame.AddPage(work.templateId, work.page);
  wizardFrame.Run();
  if (*work.thread != nullptr) return kExitCancelled;
  // A worker that changed nothing had its page end the frame with its code, which the frame's
  // loop put back as a quit message.
  MSG quit;
  if (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return static_cast<int>(quit.wParam);
  return kExitDone;
}
