// The setup's own registry entries read back through the registry: the entry in the list of
// installed programs and the RunOnce values.
#include <gtest/gtest.h>

#include <string>

#include "sys/run_once.h"
#include "sys/uninstall_registration.h"
#include "tests/win/sys_test_support.h"

namespace {

constexpr char kEntryKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Xelta Z614";
constexpr char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// A string value as written, with its terminating zero.
std::string Terminated(const char* text) { return std::string(text) + '\0'; }

TEST(RegisterUninstall, WritesBothValuesAndUnregisterRemovesTheWholeKey) {
  const char* const command = "C:\\Program Files\\Xelta\\Xelta Z614\\UNINSTALL.EXE";
  ASSERT_EQ(RegisterUninstall("Xelta Z614", "Xelta Z614", command), 1);
  const RegistryValue name = ReadMachineValue(kEntryKey, "DisplayName");
  const RegistryValue uninstall = ReadMachineValue(kEntryKey, "UninstallString");
  EXPECT_EQ(name.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(name.data, Terminated("Xelta Z614"));
  EXPECT_EQ(uninstall.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(uninstall.data, Terminated(command));  // unquoted

  const DWORD one = 1;  // a subkey goes with the entry
  ASSERT_TRUE(SetMachineValue((std::string(kEntryKey) + "\\Extra").c_str(), "x", REG_DWORD, &one,
                              sizeof one));
  EXPECT_EQ(UnregisterUninstall("Xelta Z614"), 1);
  EXPECT_FALSE(MachineKeyExists(kEntryKey));
  EXPECT_EQ(UnregisterUninstall("Xelta Z614"), 0);
  EXPECT_EQ(UnregisterUninstall(""), 0);  // would take the whole list
  EXPECT_EQ(RegisterUninstall(std::string(255, 'n').c_str(), "x", "C:\\x.exe"), 0);  // cut
}

TEST(SetRunOnce, WritesTheCommandAndDeleteRunOnceRemovesIt) {
  const char* const command = "cmd.exe /c del C:\\windows\\Temp\\Del1A.tmp";
  EXPECT_EQ(SetRunOnce("Xelta Z614", nullptr), 0);
  EXPECT_EQ(SetRunOnce(nullptr, command), 0);
  EXPECT_FALSE(ReadMachineValue(kRunOnceKey, "Xelta Z614").present);

  ASSERT_EQ(SetRunOnce("Xelta Z614", command), 1);
  const RegistryValue value = ReadMachineValue(kRunOnceKey, "Xelta Z614");
  EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(value.data, Terminated(command));
  EXPECT_EQ(DeleteRunOnce("Xelta Z614"), 1);
  EXPECT_FALSE(ReadMachineValue(kRunOnceKey, "Xelta Z614").present);
  EXPECT_EQ(DeleteRunOnce("Xelta Z614"), 0);
}

}  // namespace
