// The main window of a stand-in for one of the product's own applications. The setup finds
// each application by its main window's class name, closes it with WM_CLOSE while the card's
// drivers are stopped and starts it again afterwards; the stand-ins do exactly what those
// calls need: a top-level window of the right class that ends its program when it closes.
#pragma once
#include <windows.h>

struct StandinApp {
  const char* file;       // the program's file name as shipped, for the stand-ins' log
  const char* className;  // the class the setup looks for ("Z614Main")
  const char* title;      // the caption of the main window
  const char* text;       // one line shown in the window, saying what the program stands for
};

// Records the start in the stand-ins' log, registers the class, shows the window and runs the
// message loop until the window has been closed. Returns the exit code for WinMain: 0, or 1
// when the window could not be made.
int RunStandinWindow(HINSTANCE instance, const StandinApp& app, int showCommand);
