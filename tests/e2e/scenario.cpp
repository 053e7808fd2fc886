#include "tests/e2e/scenario.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

const char kProductName[] = "Xelta Z614";

namespace {

const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
// Every tree ends within this time; a wizard left open is closed long before.
constexpr DWORD kTreeTimeoutMs = 600000;

std::string WindowsPath(const char* unixPath) {
  std::string path = std::string("Z:") + unixPath;  // Wine maps the root of the host to Z:
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

void EndProcess(DWORD id, UINT exitCode) {
  if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id)) {
    TerminateProcess(process, exitCode);
    CloseHandle(process);
  }
}

}  // namespace

std::string SetupFromEnvironment(const char* variable) {
  const char* unixPath = std::getenv(variable);
  return unixPath ? WindowsPath(unixPath) : "";
}

std::string WineVersion() {
  const char* v = std::getenv("Z614_WINE_VERSION");
  return v ? v : "winxp";
}

bool IsNineX() { return WineVersion() == "win98" || WineVersion() == "winme"; }

bool SetupSupportsThisSystem() { return WineVersion() != "win95" && WineVersion() != "nt40"; }

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

std::string RunOnceValue() {
  char value[1024] = "";
  DWORD size = sizeof value - 1;
  RegGetValueA(HKEY_LOCAL_MACHINE, kRunOnceKey, kProductName, RRF_RT_REG_SZ, nullptr, value, &size);
  return value;
}

void SetRunOnceValue(const std::string& command) {
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, kRunOnceKey, kProductName, REG_SZ, command.c_str(),
                  static_cast<DWORD>(command.size() + 1));
}

void PrepareMachine() {
  CreateDirectoryA("C:\\z614", nullptr);
  for (const std::string& name : TemporaryCopies()) {
    const std::string path = TempFolder() + name;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
  }
  RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kRunOnceKey, kProductName);
}

SetupRun StartAsUser(const std::string& exe, const std::string& arguments) {
  SetupRun run;
  ProcessTree tree;
  std::string commandLine = "\"" + exe + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  run.ended = tree.Run(commandLine, 30000, [&]() {
    std::vector<DWORD> ids;
    for (const TreeProcess& p : tree.Processes()) ids.push_back(p.id);
    if (HWND frame = FindWizardFrame(ids)) {
      DWORD processId = 0;
      GetWindowThreadProcessId(frame, &processId);
      EndProcess(processId, 0);
      Sleep(200);
    } else if (HWND box = FindMessageBox(ids)) {
      run.messages.push_back(ReadMessageBox(box));
      PressButton(box, IDOK);
      Sleep(200);  // let the box close before looking again
    }
    return true;
  });
  run.processes = tree.Processes();
  return run;
}

WizardSession::WizardSession(const std::string& exe) {
  follower_ = std::thread([this, exe] {
    ProcessTree tree;
    tree.Run("\"" + exe + "\"", kTreeTimeoutMs, [&]() {
      std::lock_guard<std::mutex> guard(lock_);
      ids_.clear();
      for (const TreeProcess& p : tree.Processes()) {
        if (p.exitCode == STILL_ACTIVE) ids_.push_back(p.id);
      }
      return !stop_;
    });
    std::lock_guard<std::mutex> guard(lock_);
    ids_.clear();
    ended_ = true;
  });
}

// A test that failed half-way: close the wizard as a user would, else end the processes.
WizardSession::~WizardSession() {
  if (!WaitForEnd(0)) {
    if (HWND box = FindMessageBox(ProcessIds())) {
      PressButton(box, IDYES);
      Sleep(300);
    }
    if (!CancelAndConfirm()) {
      for (DWORD id : ProcessIds()) EndProcess(id, 1);
      if (!WaitForEnd()) {
        std::lock_guard<std::mutex> guard(lock_);
        stop_ = true;
      }
    }
  }
  follower_.join();
}

std::vector<DWORD> WizardSession::ProcessIds() {
  std::lock_guard<std::mutex> guard(lock_);
  return ids_;
}

bool WizardSession::WaitForEnd(DWORD timeoutMs) {
  return WaitUntil(
      [&] {
        std::lock_guard<std::mutex> guard(lock_);
        return ended_;
      },
      timeoutMs);
}

HWND WizardSession::WaitForFrame() {
  frame_ = WaitForWindow([&] { return FindWizardFrame(ProcessIds()); }, 60000);
  return frame_;
}

HWND WizardSession::WaitForMessageBox(DWORD timeoutMs) {
  return WaitForWindow([&] { return FindMessageBox(ProcessIds()); }, timeoutMs);
}

bool WizardSession::CancelAndConfirm() {
  if (!frame_ || !IsWindow(frame_) || !PressButton(frame_, IDCANCEL)) return false;
  HWND box = WaitForMessageBox();
  return box && PressButton(box, IDYES) && WaitForEnd();
}

void WizardSession::Screenshot(const std::string& name) {
  const char* folder = std::getenv("Z614_SCREENSHOT_DIR");
  if (!folder || !*folder || !frame_) return;
  Sleep(300);  // let the page finish painting
  SaveWindowBitmap(frame_, WindowsPath(folder) + "\\" + name + ".bmp");
}
