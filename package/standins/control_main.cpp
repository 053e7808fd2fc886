// Z614CTL.exe: stand-in for the product's control program. The setup starts it hidden with
// "remove" before it stops the card's devices and with "install" after it has started them;
// the real program lets go of the card or takes it. The stand-in records the call, with the
// entry "WinMain hidden" when it was started hidden, and ends at once, with 0 for a command it
// knows and 1 for anything else.
#include <windows.h>

#include "package/standins/standin_log.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int showCommand) {
  const char* command = commandLine ? commandLine : "";
  AppendStandinLog("Z614CTL.exe", showCommand == SW_HIDE ? "WinMain hidden" : "WinMain", command);
  const bool known = lstrcmpiA(command, "install") == 0 || lstrcmpiA(command, "remove") == 0;
  return known ? 0 : 1;
}
