// Z614MON.exe: stand-in for the product's monitor window.
#include "package/standins/standin_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  const StandinApp app{"Z614MON.exe", "Z614MONITOR", "Xelta Z614 Monitor Window",
                       "Stand-in for the Xelta Z614 monitor of the demo payload."};
  return RunStandinWindow(instance, app, showCommand);
}
