// Z614UI.exe: stand-in for the product's connection manager (the user interface).
#include "package/standins/standin_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  const StandinApp app{"Z614UI.exe", "Z614Main", "Xelta Z614",
                       "Stand-in for the Xelta Z614 connection manager of the demo payload."};
  return RunStandinWindow(instance, app, showCommand);
}
