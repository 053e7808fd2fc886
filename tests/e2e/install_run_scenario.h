// The install run as the end-to-end scenarios drive it: the packed demo walked from Welcome to
// the Installing page, the insert-card dialog answered by the card simulator or Cancel, and the
// machine's footprint after Finish compared with a reviewed list.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "core/crc32.h"
#include "tests/e2e/footprint.h"
#include "tests/e2e/wizard_scenario.h"

constexpr int kStatusText = 1027, kViewReadMe = 1032, kStartProduct = 1033, kRestartNo = 1029;
constexpr int kCardDialogCancel = 1;
constexpr char kTargetFolder[] = "C:\\Program Files\\Xelta\\Xelta Z614";
constexpr char kDiagnosticsKey[] = "Software\\Xelta\\Z614\\Diagnostics";
constexpr char kUserInterfaceClass[] = "Z614Main";
// A run started with /Log writes its log here; the folder is made before the first snapshot.
constexpr char kLogFolder[] = "C:\\z614\\";
constexpr char kLogFile[] = "C:\\z614\\setup.log";

struct InstallCase {
  const char* name;      // names the footprint file and the pictures
  const char* type;      // as the Setup type page lists it
  std::vector<bool> checks;  // the Components page's rows for Custom
  bool insertCard;       // the simulator inserts the card while the dialog waits
  std::vector<std::string> messages = {};  // the message boxes the run shows, "caption: text"
  bool logged = false;   // started with /Log, the log held against the footprint
};

// What a run leaves that depends on the moment or the build rather than on the setup: the
// temporary copy's name, and the checksums of the built files (checked against the files
// themselves by ExpectDiagnosticsMatchFiles).
inline std::string Normalized(const std::string& line) {
  static const std::regex copyName("Del[0-9A-Fa-f]+\\.tmp");
  static const std::regex checksum("(\\\\Diagnostics\\|.* = REG_SZ:)[0-9A-F]{8}$");
  return std::regex_replace(std::regex_replace(line, copyName, "Del*.tmp"), checksum, "$1<CRC-32>");
}

inline std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// What the log says the run left: its lines replayed in order, each file, folder, value and
// service made counted in, each one deleted counted out. Files and folders are named as the
// footprint names them (folders end with a backslash), values with their data; keys only
// where the log says the run created them.
inline std::set<std::string> LoggedFootprint(const std::string& log) {
  static const std::regex action(
      "^[0-9-]+ [0-9:.]+ (File written|File edited|File appended|Folder created|Shortcut created|"
      "Value set|Key created|Service created|File deleted|Folder removed|Value deleted|"
      "Key deleted|Service deleted): (.*?)( \\((entry|from|section|the setup|[0-9]+ bytes).*\\))?\r?$");
  std::set<std::string> made;
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    std::smatch m;
    if (!std::regex_match(line, m, action)) continue;
    const std::string verb = m[1];
    std::string subject = Lower(Normalized(m[2]));
    if (verb.rfind("Folder", 0) == 0) subject += "\\";
    if (verb.rfind("Service", 0) == 0) subject = "service " + subject;
    if (verb.rfind("Value", 0) == 0 && verb != "Value set") subject += " = ";
    if (verb.find("deleted") == std::string::npos && verb != "Folder removed") {
      made.insert(subject);
      continue;
    }
    // A deleted value is named without its data; a deleted key takes its values and subkeys.
    for (auto i = made.begin(); i != made.end();) {
      const bool gone = *i == subject || (verb == "Value deleted" && i->rfind(subject, 0) == 0) ||
                        (verb == "Key deleted" && (i->rfind(subject + "\\", 0) == 0 ||
                                                   i->rfind(subject + "|", 0) == 0));
      i = gone ? made.erase(i) : std::next(i);
    }
  }
  return made;
}

// Runs a test program of the build tree (the card simulator) and waits for its end.
inline bool RunTool(const std::string& commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return false;
  }
  WaitForSingleObject(process.hProcess, kUiTimeoutMs);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code == 0;
}

class InstallRun : public WizardScenario {
 protected:
  void SetUp() override {
    WizardScenario::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_FALSE(simulator_.empty()) << "Z614_CARD_SIMULATOR names the card simulator";
    RunTool("\"" + simulator_ + "\" remove");
    CreateDirectoryA(kLogFolder, nullptr);
    before_ = TakeSnapshot();
  }

  // Welcome to Summary with the case's choices, then Next: the install runs.
  void WalkToInstalling(const InstallCase& c) {
    WalkToSummary(c, full_);
    BeginInstall();
  }

  void WalkToSummary(const InstallCase& c, const std::string& setup) {
    Start(setup, WizardPage::Welcome, c.logged ? std::string("/Log ") + kLogFile : "");
    AcceptLicense();
    Next(WizardPage::Folder);
    Next(WizardPage::SetupType);
    ASSERT_TRUE(SelectListBoxRow(Page(), kSetupTypes, c.type));
    if (!c.checks.empty()) {
      Next(WizardPage::Components);
      HWND list = GetDlgItem(Page(), kComponents);
      for (size_t row = 0; row < c.checks.size(); ++row) {
        SetListViewChecked(list, static_cast<int>(row), c.checks[row]);
      }
    }
    Next(WizardPage::Summary);
  }

  void BeginInstall() {
    installStart_ = GetTickCount();
    Next(WizardPage::Installing);
  }

  // The insert-card dialog that the start of the card stack opens over the Installing page:
  // either the simulator brings the card and the dialog closes by itself, or Cancel ends it.
  // The message boxes the run shows before it are answered with OK and kept in messages_.
  void AnswerInsertCard(const InstallCase& c) {
    HWND dialog = nullptr;
    while ((dialog = WaitForMessageBox(30000)) != nullptr && WindowTextOf(dialog) == kProductName) {
      const ShownMessage shown = ReadMessageBox(dialog);
      messages_.push_back(shown.caption + ": " + shown.text);
      ASSERT_TRUE(PressButton(dialog, IDOK));
      ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, kUiTimeoutMs));
    }
    dialogShown_ = GetTickCount();
    EXPECT_EQ(messages_, c.messages);
    ASSERT_NE(dialog, nullptr) << "the insert-card dialog is shown";
    EXPECT_EQ(WindowTextOf(dialog), "Insert Xelta Z614");
    Picture(frame_, std::string(c.name) + "-installing");
    Picture(dialog, std::string(c.name) + "-insert-card");
    if (c.insertCard) {
      ASSERT_TRUE(RunTool("\"" + simulator_ + "\" insert"));
      const DWORD inserted = cardInserted_ = GetTickCount();
      EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000)) << "the card is seen";
      EXPECT_LT(GetTickCount() - inserted, 2500u) << "within about two seconds";
    } else {
      ASSERT_TRUE(PressButton(dialog, kCardDialogCancel));
    }
  }

  // The lines of the footprint that the case's file lists, against what the run changed.
  void ExpectFootprint(const InstallCase& c) {
    std::vector<std::string> actual;
    for (const std::string& line : Difference(before_, TakeSnapshot())) {
      if (line.rfind(std::string("+ ") + kLogFile, 0) != 0) actual.push_back(Normalized(line));
    }
    if (c.logged) ExpectLogNamesFootprint(actual);
    const std::string name = WineVersion() + "-" + c.name + ".txt";
    const std::string reviewed = PathFromEnvironment("Z614_FOOTPRINT_DIR") + "\\" + name;
    std::vector<std::string> expected;
    std::ifstream file(reviewed);
    for (std::string line; std::getline(file, line);) {
      if (!line.empty() && line[0] != '#') expected.push_back(line);
    }
    // What this run made, for review beside the build's pictures when it differs.
    std::ofstream(PathFromEnvironment("Z614_SCREENSHOT_DIR") + "\\footprint-" + name) << [&] {
      std::string all;
      for (const std::string& line : actual) all += line + "\n";
      return all;
    }();
    EXPECT_EQ(actual, expected) << "the footprint of " << name;
    ExpectRemoveScriptMatchesDisk();
  }

  // The log of a /Log run names each file, value and service the footprint shows, and nothing
  // that the footprint does not: its keys and values as written, its service by name.
  void ExpectLogNamesFootprint(const std::vector<std::string>& footprint) {
    const std::set<std::string> logged = LoggedFootprint(ReadFileBytes(kLogFile));
    static const std::regex service("^hklm\\\\system\\\\currentcontrolset\\\\services\\\\([^\\\\|]+).*");
    std::set<std::string> found, keys;
    for (const std::string& line : footprint) {
      const std::string name = Lower(line.substr(2));
      std::smatch m;
      if (std::regex_match(name, m, service)) {
        found.insert("service " + m[1].str());
      } else if (name.rfind("hk", 0) == 0 && name.find('|') == std::string::npos) {
        keys.insert(name);  // a key the run's values made on the way
      } else if (name.find("z614standins.log") == std::string::npos) {
        found.insert(name);  // the stand-ins' own log is theirs
      }
    }
    for (const std::string& name : found) EXPECT_TRUE(logged.count(name)) << "not in the log: " << name;
    for (const std::string& name : logged) {
      EXPECT_TRUE(found.count(name) || keys.count(name)) << "logged, not on the machine: " << name;
    }
  }

  // Remove.cnf names what the run put on disk: every file it records is there (but for the
  // product's data pattern and the compiled forms of INF and help files, which Windows makes
  // later), and every file of the target folder that was not there before the run is recorded.
  void ExpectRemoveScriptMatchesDisk() {
    const auto upper = [](std::string text) {
      for (char& ch : text) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
      return text;
    };
    std::ifstream script(std::string(kTargetFolder) + "\\Remove.cnf");
    std::set<std::string> recorded;
    bool files = false;
    for (std::string line; std::getline(script, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.empty()) continue;
      if (line[0] == '[') files = line.rfind("[AddFile", 0) == 0;
      if (!files || line[0] != ',') continue;
      const std::string path = upper(line.substr(1));
      recorded.insert(path);
      const bool madeLater = path.size() > 4 && (path.compare(path.size() - 4, 4, ".PNF") == 0 ||
                                                 path.compare(path.size() - 4, 4, ".GID") == 0);
      // A line that only precaches records an empty path.
      if (!path.empty() && path.find('*') == std::string::npos && !madeLater) {
        EXPECT_TRUE(FileExists(path)) << "recorded, not on disk: " << path;
      }
    }
    const std::string folder = upper(std::string(kTargetFolder) + "\\");
    for (const auto& [name, data] : TakeSnapshot().files) {
      if (upper(name).rfind(folder, 0) != 0 || name.back() == '\\' || before_.files.count(name)) continue;
      EXPECT_TRUE(recorded.count(upper(name))) << "on disk, not recorded: " << name;
    }
  }

  // Every file the Diagnostics key names has the checksum recorded for it.
  void ExpectDiagnosticsMatchFiles() {
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDiagnosticsKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    char path[MAX_PATH];
    char crc[16];
    int checked = 0;
    for (DWORD i = 0;; ++i) {
      DWORD pathSize = sizeof path, crcSize = sizeof crc - 1;
      if (RegEnumValueA(key, i, path, &pathSize, nullptr, nullptr, reinterpret_cast<BYTE*>(crc),
                        &crcSize) != ERROR_SUCCESS) {
        break;
      }
      crc[crcSize] = '\0';
      const std::string bytes = ReadFileBytes(path);
      char actual[16];
      snprintf(actual, sizeof actual, "%08X", Crc32(bytes.data(), bytes.size()));
      EXPECT_STREQ(crc, actual) << path;
      ++checked;
    }
    RegCloseKey(key);
    EXPECT_GT(checked, 10);
  }

  // The installed copies of payload entries hold the payload's bytes.
  void ExpectPayloadBytes(const std::vector<std::string>& names) {
    const std::string payload = PathFromEnvironment("Z614_PAYLOAD_DIR");
    for (const std::string& name : names) {
      EXPECT_TRUE(ReadFileBytes(std::string(kTargetFolder) + "\\" + name) ==
                  ReadFileBytes(payload + "\\" + name))
          << name;
    }
  }

  void WaitForWizardEnd() {
    ASSERT_EQ(WaitForSingleObject(wizard_, kUiTimeoutMs), WAIT_OBJECT_0) << "Finish ends the wizard";
  }

  // A top-level window that the finish page's choices started; the test closes it again.
  static bool CloseStartedWindow(const char* className, const char* title) {
    HWND window = WaitForWindow([&] { return FindWindowA(className, title); }, kUiTimeoutMs);
    if (window) SendMessageA(window, WM_CLOSE, 0, 0);
    return window != nullptr;
  }

  const std::string simulator_ = PathFromEnvironment("Z614_CARD_SIMULATOR");
  MachineSnapshot before_;
  std::vector<std::string> messages_;  // "caption: text" of each message box, in order
  DWORD installStart_ = 0, dialogShown_ = 0, cardInserted_ = 0;
};
