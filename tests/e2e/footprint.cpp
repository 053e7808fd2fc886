#include "tests/e2e/footprint.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <regex>

#include "core/crc32.h"
#include "tests/e2e/scenario.h"

namespace {

struct RegistryTree {
  HKEY root;
  const char* rootName;
  const char* path;
};

// Where a setup run writes: the product's keys, the uninstall list and RunOnce, the services,
// the device enumeration and classes, and the user's own settings.
const RegistryTree kTrees[] = {
    {HKEY_LOCAL_MACHINE, "HKLM", "Software"},
    {HKEY_LOCAL_MACHINE, "HKLM", "System\\CurrentControlSet"},
    {HKEY_LOCAL_MACHINE, "HKLM", "Enum"},
    {HKEY_CURRENT_USER, "HKCU", "Software"},
};

// Subtrees Wine and the harness change on their own, whatever the setup does: Wine's own
// settings, the service manager's change counter, and the display adapter and monitor that
// Wine's display driver registers (again, with the date it was loaded) when a prefix first shows
// a window.
constexpr const char* kIgnoredKeys[] = {
    "HKCU\\Software\\Wine",
    "HKCU\\Software\\Microsoft\\Notepad",  // Notepad's own settings, when the test closes the read-me
    "HKLM\\Software\\Wine",
    "HKLM\\System\\CurrentControlSet\\Control\\Session Manager\\Environment",
    "HKLM\\System\\CurrentControlSet\\Control\\ComputerName",
    "HKLM\\System\\CurrentControlSet\\Control\\ServiceCurrent",
    "HKLM\\System\\CurrentControlSet\\Control\\Class\\{4D36E968-E325-11CE-BFC1-08002BE10318}",
    "HKLM\\System\\CurrentControlSet\\Control\\Video",
    "HKLM\\System\\CurrentControlSet\\Control\\Class\\{4D36E96E-E325-11CE-BFC1-08002BE10318}",
    "HKLM\\System\\CurrentControlSet\\Hardware Profiles",
    "HKLM\\System\\CurrentControlSet\\Control\\DeviceClasses\\{1CA05180-A699-450A-9A0C-DE4FBE3DDD89}",
    "HKLM\\System\\CurrentControlSet\\Control\\DeviceClasses\\{5B45201D-F2F2-4F3B-85BB-30FF1F953599}",
    "HKLM\\System\\CurrentControlSet\\Control\\DeviceClasses\\{E6F07B5F-EE97-4A90-B076-33F57BF4EAA7}",
};
// Folders of the prefix that Wine itself writes (logs, caches) or that lead outside it: the test
// prefix's C:\unwritable is a link to a host folder the setup must refuse.
constexpr const char* kIgnoredFolders[] = {
    "C:\\unwritable\\",
    "C:\\windows\\Installer\\",
    "C:\\windows\\logs\\",
};

// Wine's menu builder puts a launcher of the host's desktop beside each shortcut made on the
// desktop, and keeps the host's menus and icons for the others in dot-folders of the profile;
// the shortcut itself is what the setup made.
bool IsHostLauncher(const std::string& name) {
  return name[0] == '.' || (name.size() > 8 && _stricmp(name.c_str() + name.size() - 8, ".desktop") == 0);
}

bool Ignored(const std::string& name, const char* const* list, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const size_t length = strlen(list[i]);
    if (_strnicmp(name.c_str(), list[i], length) == 0) return true;
  }
  return false;
}

std::string Hex(const BYTE* data, DWORD size) {
  std::string text;
  char byte[3];
  for (DWORD i = 0; i < size; ++i) {
    snprintf(byte, sizeof byte, "%02x", data[i]);
    text += byte;
  }
  return text;
}

std::string ValueText(DWORD type, const BYTE* data, DWORD size) {
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
      std::string text(reinterpret_cast<const char*>(data), size);
      while (!text.empty() && text.back() == '\0') text.pop_back();
      return std::string(type == REG_SZ ? "REG_SZ:" : "REG_EXPAND_SZ:") + text;
    }
    case REG_DWORD: {
      DWORD number = 0;
      memcpy(&number, data, std::min<DWORD>(size, sizeof number));
      return "REG_DWORD:" + std::to_string(number);
    }
    default:
      return "REG_" + std::to_string(type) + ":" + Hex(data, size);
  }
}

void ReadKey(HKEY key, const std::string& name, MachineSnapshot& snapshot) {
  if (Ignored(name, kIgnoredKeys, std::size(kIgnoredKeys))) return;
  snapshot.registry[name] = "";
  std::vector<BYTE> data(1 << 16);
  char valueName[16384];
  for (DWORD index = 0;; ++index) {
    DWORD nameSize = sizeof valueName, type = 0, size = static_cast<DWORD>(data.size());
    LONG status = RegEnumValueA(key, index, valueName, &nameSize, nullptr, &type, data.data(), &size);
    if (status == ERROR_MORE_DATA) {
      data.resize(size);
      nameSize = sizeof valueName;
      status = RegEnumValueA(key, index, valueName, &nameSize, nullptr, &type, data.data(), &size);
    }
    if (status != ERROR_SUCCESS) break;
    snapshot.registry[name + "|" + valueName] = ValueText(type, data.data(), size);
  }
  char subkey[512];
  for (DWORD index = 0;; ++index) {
    DWORD size = sizeof subkey;
    if (RegEnumKeyExA(key, index, subkey, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    HKEY child;
    if (RegOpenKeyExA(key, subkey, 0, KEY_READ, &child) != ERROR_SUCCESS) continue;
    ReadKey(child, name + "\\" + subkey, snapshot);
    RegCloseKey(child);
  }
}

void ReadFolder(const std::string& folder, MachineSnapshot& snapshot) {
  if (Ignored(folder, kIgnoredFolders, std::size(kIgnoredFolders))) return;
  snapshot.files[folder] = "";
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (IsHostLauncher(name)) continue;  // "." and ".." too
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ReadFolder(folder + name + "\\", snapshot);
    } else {
      const ULONGLONG size = (ULONGLONG{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
      const ULONGLONG written =
          (ULONGLONG{found.ftLastWriteTime.dwHighDateTime} << 32) | found.ftLastWriteTime.dwLowDateTime;
      snapshot.files[folder + name] = std::to_string(size) + "@" + std::to_string(written);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

void Compare(const std::map<std::string, std::string>& before,
             const std::map<std::string, std::string>& after, bool showData,
             std::vector<std::string>& lines) {
  auto shown = [&](const std::string& data) { return showData && !data.empty() ? " = " + data : ""; };
  for (const auto& [name, data] : after) {
    auto old = before.find(name);
    if (old == before.end()) {
      lines.push_back("+ " + name + shown(data));
    } else if (old->second != data) {
      lines.push_back("~ " + name + shown(data));
    }
  }
  for (const auto& [name, data] : before) {
    if (!after.count(name)) lines.push_back("- " + name);
  }
}

}  // namespace

MachineSnapshot TakeSnapshot() {
  MachineSnapshot snapshot;
  for (const RegistryTree& tree : kTrees) {
    HKEY key;
    if (RegOpenKeyExA(tree.root, tree.path, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
    ReadKey(key, std::string(tree.rootName) + "\\" + tree.path, snapshot);
    RegCloseKey(key);
  }
  ReadFolder("C:\\", snapshot);
  return snapshot;
}

std::string Normalized(const std::string& line) {
  static const std::regex copyName("Del[0-9A-Fa-f]+\\.tmp");
  static const std::regex checksum("(\\\\Diagnostics\\|.* = REG_SZ:)[0-9A-F]{8}$");
  return std::regex_replace(std::regex_replace(line, copyName, "Del*.tmp"), checksum, "$1<CRC-32>");
}

// Every file the Diagnostics key names has the checksum recorded for it.
void ExpectDiagnosticsMatchFiles(const MachineSnapshot& now) {
  for (const auto& [name, data] : now.registry) {
    const size_t bar = name.find("\\Diagnostics|");
    if (bar == std::string::npos) continue;
    const std::string bytes = ReadFileBytes(name.substr(bar + 13));
    char crc[16];
    snprintf(crc, sizeof crc, "REG_SZ:%08X", Crc32(bytes.data(), bytes.size()));
    EXPECT_EQ(data, crc) << name;
  }
}

std::vector<std::string> Difference(const MachineSnapshot& before, const MachineSnapshot& after) {
  std::vector<std::string> lines;
  Compare(before.registry, after.registry, true, lines);
  Compare(before.files, after.files, false, lines);
  std::sort(lines.begin(), lines.end());
  return lines;
}

void ExpectReviewedFootprint(const std::vector<std::string>& actual, const std::string& name) {
  const std::string file = WineVersion() + "-" + name + ".txt";
  std::vector<std::string> expected;
  std::ifstream reviewed(PathFromEnvironment("Z614_FOOTPRINT_DIR") + "\\" + file);
  for (std::string line; std::getline(reviewed, line);) {
    if (!line.empty() && line[0] != '#') expected.push_back(line);
  }
  std::ofstream made(PathFromEnvironment("Z614_SCREENSHOT_DIR") + "\\footprint-" + file);
  for (const std::string& line : actual) made << line << "\n";
  EXPECT_EQ(actual, expected) << "the footprint " << file;
}

void ExpectFootprint(const MachineSnapshot& before, const std::string& name) {
  const MachineSnapshot now = TakeSnapshot();
  std::vector<std::string> actual;
  for (const std::string& line : Difference(before, now)) actual.push_back(Normalized(line));
  actual.erase(std::unique(actual.begin(), actual.end()), actual.end());
  ExpectReviewedFootprint(actual, name);
  ExpectDiagnosticsMatchFiles(now);
}
