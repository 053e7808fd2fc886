#include "tests/e2e/scenario.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/robot/wizard_robot.h"

std::string PackedSetupPath() {
  const char* unixPath = std::getenv("Z614_SETUP_EXE");
  if (!unixPath) return "";
  std::string path = std::string("Z:") + unixPath;  // Wine maps the root of the host to Z:
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string WineVersion() {
  const char* v = std::getenv("Z614_WINE_VERSION");
  return v ? v : "winxp";
}

bool SetupSupportsThisSystem() {
  const std::string v = WineVersion();
  return v != "win95" && v != "nt40";
}

SetupRun StartAsUser(const std::string& exe, const std::string& arguments, DWORD timeoutMs) {
  SetupRun run;
  ProcessTree tree;
  std::string commandLine = "\"" + exe + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  auto answerMessages = [&]() {
    std::vector<DWORD> ids;
    for (const TreeProcess& p : tree.Processes()) ids.push_back(p.id);
    // A copy that reaches its wizard has done all that start-up does; these scenarios end it
    // there, without the cancel question and its RunOnce value.
    if (HWND frame = FindWizardFrame(ids)) {
      DWORD processId = 0;
      GetWindowThreadProcessId(frame, &processId);
      if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, processId)) {
        TerminateProcess(process, 0);
        CloseHandle(process);
      }
      run.wizardShown = true;
      Sleep(200);
      return true;
    }
    if (HWND box = FindProcessDialog(ids)) {
      run.messages.push_back(ReadMessageBox(box));
      PressDialogButton(box, IDOK);
      Sleep(200);  // let the box close before looking again
    }
    return true;
  };
  run.ended = tree.Run(commandLine, timeoutMs, answerMessages);
  run.processes = tree.Processes();
  return run;
}

std::string TempFolder() {
  char folder[MAX_PATH] = "";
  GetTempPathA(sizeof folder, folder);
  return folder;
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> TemporaryCopies() {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((TempFolder() + "Del*.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    names.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

void ClearTemporaryCopies() {
  for (const std::string& name : TemporaryCopies()) {
    const std::string path = TempFolder() + name;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
  }
}
