// Z614sms.exe: stand-in for the product's short-messaging application.
#include "package/standins/standin_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  const StandinApp app{"Z614sms.exe", "Z614SMSMain", "Xelta Short Messaging",
                       "Stand-in for Xelta Short Messaging of the demo payload."};
  return RunStandinWindow(instance, app, showCommand);
}
