#include <windows.h>

#include "app/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previousInstance*/, LPSTR commandLineText,
                   int /*showCommand*/) {
  return RunSetup(instance, commandLineText);
}
