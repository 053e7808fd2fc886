// The Installing page's status: what the worker reports, two lines at most, each fitted to the
// status control's width, a long path shortened with an ellipsis.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "res/resource.h"
#include "wizard/install_run.h"
#include "wizard/wizard_messages.h"

TEST(InstallingPage, StatusLinesFitTheirControlWithAnEllipsis) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  HWND frame = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
  HWND page = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(IDD_INSTALLING), frame, InstallingPage, 0);
  ASSERT_NE(page, nullptr);
  const std::string folder = "C:\\Program Files\\Xelta\\Xelta Z614\\A folder whose name is far too long "
                             "for two hundred dialog units\\and deeper still\\";
  SendMessageA(page, kMsgProgressText,
               reinterpret_cast<WPARAM>(("Installing\r\n" + folder + "Z614UI.exe").c_str()), 0);
  char shown[1024] = "";
  GetDlgItemTextA(page, IDC_INSTALL_STATUS, shown, sizeof shown);
  const std::string status = shown;
  EXPECT_EQ(status.rfind("Installing\nC:\\", 0), 0u) << status;
  EXPECT_NE(status.find("..."), std::string::npos) << status;
  EXPECT_NE(status.find("Z614UI.exe"), std::string::npos) << "the file name stays whole: " << status;
  DestroyWindow(frame);
}
