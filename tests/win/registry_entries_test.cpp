// The setup's own registry entries, read back through the real registry: the entry in the
// list of installed programs and the RunOnce values.
#include <gtest/gtest.h>

#include <string>

#include "sys/run_once.h"
#include "sys/uninstall_registration.h"
#include "tests/win/sys_test_support.h"

namespace {

constexpr char kEntryKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Xelta Z614";
constexpr char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// A string value as written with its terminating zero.
std::string Terminated(const char* text) { return std::string(text) + '\0'; }

TEST(RegisterUninstall, WritesBothValuesAndUnregisterRemovesTheWholeKey) {
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, kEntryKey);
  const char* const command = "C:\\Program Files\\Xelta\\Xelta Z614\\UNINSTALL.EXE";
  ASSERT_EQ(RegisterUninstall("Xelta Z614", "Xelta Z614", command), 1);

  const RegistryValue name = ReadMachineValue(kEntryKey, "DisplayName");
  const RegistryValue uninstall = ReadMachineValue(kEntryKey, "UninstallString");
  ASSERT_TRUE(name.present && uninstall.present);
  EXPECT_EQ(name.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(name.data, Terminated("Xelta Z614"));
  EXPECT_EQ(uninstall.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(uninstall.data, Terminated(command));  // unquoted, as the system runs it

  // Registering again overwrites; a subkey someone added goes with the entry.
  ASSERT_EQ(RegisterUninstall("Xelta Z614", "Xelta Z614", "C:\\Card\\UNINSTALL.EXE"), 1);
  EXPECT_EQ(ReadMachineValue(kEntryKey, "UninstallString").data,
            Terminated("C:\\Card\\UNINSTALL.EXE"));
  const DWORD one = 1;
  ASSERT_TRUE(SetMachineValue((std::string(kEntryKey) + "\\Extra").c_str(), "x", REG_DWORD, &one,
                              sizeof one));
  EXPECT_EQ(UnregisterUninstall("Xelta Z614"), 1);
  EXPECT_FALSE(MachineKeyExists(kEntryKey));
  EXPECT_EQ(UnregisterUninstall("Xelta Z614"), 0);  // nothing left to delete
}

TEST(RegisterUninstall, RefusesKeyNamesThatWouldBeCutOrEmpty) {
  const std::string longName(255, 'n');  // the key path holds 255 characters in all
  EXPECT_EQ(RegisterUninstall(longName.c_str(), "x", "C:\\x.exe"), 0);
  EXPECT_EQ(RegisterUninstall("", "x", "C:\\x.exe"), 0);
  EXPECT_EQ(UnregisterUninstall(""), 0);  // would delete the whole list
  EXPECT_TRUE(MachineKeyExists("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
}

TEST(SetRunOnce, WritesTheCommandAndDeleteRunOnceRemovesIt) {
  const char* const command = "cmd.exe /c del C:\\windows\\Temp\\Del1A.tmp";
  ASSERT_EQ(SetRunOnce("Xelta Z614", command), 1);
  const RegistryValue value = ReadMachineValue(kRunOnceKey, "Xelta Z614");
  ASSERT_TRUE(value.present);
  EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(value.data, Terminated(command));

  EXPECT_EQ(DeleteRunOnce("Xelta Z614"), 1);
  EXPECT_FALSE(ReadMachineValue(kRunOnceKey, "Xelta Z614").present);
  EXPECT_EQ(DeleteRunOnce("Xelta Z614"), 0);
}

TEST(SetRunOnce, MissingArgumentsWriteNothing) {
  SHDeleteValueA(HKEY_LOCAL_MACHINE, kRunOnceKey, "Xelta Z614");
  EXPECT_EQ(SetRunOnce("Xelta Z614", nullptr), 0);
  EXPECT_EQ(SetRunOnce(nullptr, "cmd.exe"), 0);
  EXPECT_EQ(SetRunOnce("", "cmd.exe"), 0);
  EXPECT_FALSE(ReadMachineValue(kRunOnceKey, "Xelta Z614").present);
  EXPECT_FALSE(ReadMachineValue(kRunOnceKey, "").present);
  EXPECT_EQ(DeleteRunOnce(nullptr), 0);
}

}  // namespace
