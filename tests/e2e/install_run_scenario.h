// The install run as the end-to-end scenarios drive it: the packed demo walked from Welcome to
// the Installing page, the insert-card dialog ended with Cancel (the card's arrival is the machine
// life's), and the machine's footprint after Finish compared with a reviewed list.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "tests/e2e/footprint.h"
#include "tests/e2e/wizard_scenario.h"

constexpr int kRestartNo = 1029;
constexpr int kCardDialogCancel = 1;
constexpr char kTargetFolder[] = "C:\\Program Files\\Xelta\\Xelta Z614";
// A run started with /Log writes its log here; the folder is made before the first snapshot.
constexpr char kLogFolder[] = "C:\\z614\\";
constexpr char kLogFile[] = "C:\\z614\\setup.log";

struct InstallCase {
  const char* name;      // names the footprint file and the pictures
  const char* type;      // as the Setup type page lists it
  std::vector<bool> checks;  // the Components page's rows for Custom
  std::vector<std::string> messages = {};  // the message boxes the run shows, "caption: text"
  bool logged = false;   // started with /Log, the log held against the footprint
};

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

class InstallRun : public WizardScenario {
 protected:
  void SetUp() override {
    WizardScenario::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(Simulate("remove")) << "Z614_CARD_SIMULATOR names the card simulator";
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

  // The insert-card dialog that the start of the card stack opens over the Installing page, ended
  // with Cancel. The message boxes the run shows before it are answered with OK and kept in messages_.
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
    ASSERT_TRUE(PressButton(dialog, kCardDialogCancel));
  }

  // The lines of the footprint that the case's file lists, against what the run changed.
  void ExpectFootprint(const InstallCase& c) {
    std::vector<std::string> actual;
    for (const std::string& line : Difference(before_, TakeSnapshot())) {
      if (line.rfind(std::string("+ ") + kLogFile, 0) != 0) actual.push_back(Normalized(line));
    }
    if (c.logged) ExpectLogNamesFootprint(actual);
    ExpectReviewedFootprint(actual, c.name);
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

  void ExpectDiagnosticsMatchFiles() { ::ExpectDiagnosticsMatchFiles(TakeSnapshot()); }

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

  MachineSnapshot before_;
  std::vector<std::string> messages_;  // "caption: text" of each message box, in order
  DWORD installStart_ = 0, dialogShown_ = 0;
};
