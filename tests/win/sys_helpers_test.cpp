// The system helpers against the prefix's real files, processes, registry and service manager,
// where the helper test_service stands in for the card's drivers.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "device/service_control.h"
#include "sys/checksum.h"
#include "sys/delete_files.h"
#include "sys/file_io.h"
#include "sys/folder_probe.h"
#include "sys/folders.h"
#include "sys/process_launch.h"
#include "sys/uninstall_registration.h"
#include "tests/win/sys_test_support.h"
#include "tests/win/wine_version.h"

namespace {

// The checksums' bytes and text are checked against the files by the install run scenario.
TEST(Checksum, AFileThatCannotBeReadHasNone) {
  ChecksumContext context;
  EXPECT_EQ(FileChecksum("C:\\z614\\sys\\missing.bin", context), 0);
}

// Read-only, hidden and system files go; folders are not files. The tree goes whole.
TEST(DeleteFiles, AWildcardTakesProtectedFilesAndTheTreeGoesWhole) {
  const std::string folder = MakeScratchFolder("delete_wildcard");
  ASSERT_TRUE(CreateDirectoryA((folder + "\\sub.z63").c_str(), nullptr));
  const std::pair<const char*, DWORD> files[] = {
      {"a.z61", FILE_ATTRIBUTE_READONLY},
      {"b.z62", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
      {"keep.txt", FILE_ATTRIBUTE_NORMAL},
      {"sub.z63\\logo.z61", FILE_ATTRIBUTE_READONLY},
  };
  for (const auto& f : files) {
    ASSERT_TRUE(WriteTestFile(folder + "\\" + f.first, f.first));
    ASSERT_TRUE(SetFileAttributesA((folder + "\\" + f.first).c_str(), f.second));
  }
  EXPECT_EQ(DeleteFiles((folder + "\\*.z6?").c_str()), 1);
  EXPECT_EQ(CountEntries(folder), 2);  // keep.txt and sub.z63
  EXPECT_EQ(DeleteFiles((folder + "\\*.none").c_str()), 1);
  EXPECT_EQ(DeleteFolderTree(folder.c_str()), 1);
  EXPECT_FALSE(PathExists(folder));
}

TEST(DeleteFiles, GivesUpOnAFileHeldOpenAfterEveryTryAndDeletesTheRest) {
  const std::string folder = MakeScratchFolder("delete_held"), held = folder + "\\held.dll";
  ASSERT_TRUE(WriteTestFile(held, "held"));
  ASSERT_TRUE(WriteTestFile(folder + "\\free.dll", "free"));
  // Shared for reading and writing but not for deletion, as a loaded library is.
  HANDLE handle = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  const DWORD start = GetTickCount();
  EXPECT_EQ(DeleteFiles((folder + "\\*.dll").c_str()), 0);
  const DWORD elapsed = GetTickCount() - start;
  CloseHandle(handle);
  EXPECT_TRUE(PathExists(held));
  EXPECT_FALSE(PathExists(folder + "\\free.dll"));
  EXPECT_GE(elapsed, static_cast<DWORD>(kDeleteTries - 1) * kDeleteRetryDelayMs);
}

// The script engine's tests and the install run read and write whole files; here the bytes.
TEST(WholeFile, BytesReadBackAsWrittenAndAnUnwritableDestinationIsSkipped) {
  const std::string path = MakeScratchFolder("file_io") + "\\Setup.cnf";
  const char data[] = "[AddFile]\r\nbinary\0zero\r\n";
  ASSERT_EQ(WriteWholeFile(path.c_str(), "a longer text that is to be replaced whole", 42), 1);
  ASSERT_EQ(WriteWholeFile(path.c_str(), data, sizeof data - 1), 1);
  char* buffer = nullptr;
  size_t size = 0;
  ASSERT_EQ(ReadWholeFile(path.c_str(), &buffer, &size), 1);
  EXPECT_EQ(std::string(buffer, size), std::string(data, sizeof data - 1));
  EXPECT_EQ(buffer[size], '\0');  // text readers may treat it as a string
  ReleaseFileBuffer(buffer);
  EXPECT_EQ(WriteWholeFile("C:\\z614\\sys\\no-such-folder\\file.txt", "data", 4), 1);  // skipped
}

// Folder chains are made by the script engine's runs; here the paths they refuse.
TEST(Folders, AFolderTestKeepsTheCurrentFolderAndAChainStopsWhereItCannotGo) {
  const std::string folder = MakeScratchFolder("chain");
  ASSERT_TRUE(WriteTestFile(folder + "\\file.txt", "x"));
  char before[MAX_PATH], after[MAX_PATH];
  GetCurrentDirectoryA(sizeof before, before);
  EXPECT_EQ(IsExistingFolder(folder.c_str()), 1);
  EXPECT_EQ(IsExistingFolder((folder + "\\file.txt").c_str()), 0);
  GetCurrentDirectoryA(sizeof after, after);
  EXPECT_STREQ(after, before);
  EXPECT_EQ(CreateFolderChain((folder + "\\file.txt\\sub").c_str()), 0);
  // A path beginning with a backslash fails at its first, empty, prefix.
  EXPECT_EQ(CreateFolderChain("\\z614\\sys\\chain\\rooted"), 0);
  EXPECT_FALSE(PathExists(folder + "\\rooted"));
}

TEST(FolderProbes, AnswerWithoutLeavingAnythingBehind) {
  const std::string folder = MakeScratchFolder("probes");
  ASSERT_TRUE(WriteTestFile(folder + "\\file.txt", "x"));
  struct Case {
    std::string path;
    int canCreate, canWrite;
  } const cases[] = {
      {folder, 2, 1},
      {folder + "\\Xelta\\Xelta Z614", 1, 1},  // two new levels, removed again
      {folder + "\\file.txt\\Xelta", 0, 0},    // a file stands where a folder would go
      {"", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(CanCreateFolder(c.path.c_str()), c.canCreate);
    EXPECT_EQ(CanWriteToFolder(c.path.c_str()), c.canWrite);
    EXPECT_EQ(CountEntries(folder), 1);  // only file.txt: no folder, no probe file
  }
}

// The helper writes the command line it was started with to the file its first argument names.
TEST(LaunchProcess, QuotesAPathWithSpacesPassesTheArgumentsAndReportsErrors) {
  const std::string folder = MakeScratchFolder("launch");
  const std::string helper = TestExecutableFolder() + "\\echo_command_line.exe";
  const std::string spaced = folder + "\\Xelta Z614.exe", plain = folder + "\\echo.exe";
  ASSERT_TRUE(CopyFileA(helper.c_str(), spaced.c_str(), FALSE)) << helper;
  ASSERT_TRUE(CopyFileA(helper.c_str(), plain.c_str(), FALSE));
  const std::string cases[][2] = {{spaced, "\"" + spaced + "\""}, {plain, plain}};
  int n = 0;
  for (const auto& c : cases) {
    const std::string output = folder + "\\out" + std::to_string(n++) + ".txt";
    const std::string arguments = output + " install  /q";
    ASSERT_EQ(LaunchProcess(c[0].c_str(), arguments.c_str(), SW_HIDE), 0u);
    std::string commandLine;
    for (int i = 0; i < 100 && !(PathExists(output) && ReadTestFile(output, &commandLine)); ++i) {
      Sleep(50);  // the launcher does not wait; the helper renames its file into place
    }
    EXPECT_EQ(commandLine, c[1] + " " + arguments);
  }
  EXPECT_EQ(LaunchProcess("", "args", SW_SHOWNORMAL), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(LaunchProcess((folder + "\\none.exe").c_str(), "", SW_SHOWNORMAL),
            static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

// The RunOnce value is written by Cancel and read at start-up; the installed-programs entry is
// written by the install run and taken by the uninstall, all checked end to end. Here a subkey
// goes with the entry, and the names that are refused.
TEST(RegistryEntries, TheInstalledProgramsEntryGoesWholeAndRefusesWhatItCannotName) {
  const char* const entryKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Xelta Z614";
  ASSERT_EQ(RegisterUninstall("Xelta Z614", "Xelta Z614", "C:\\x\\UNINSTALL.EXE"), 1);
  ASSERT_TRUE(SetMachineValue((std::string(entryKey) + "\\Extra").c_str(), "x", REG_SZ, "x", 2));
  EXPECT_EQ(UnregisterUninstall("Xelta Z614"), 1);
  EXPECT_FALSE(MachineKeyExists(entryKey));
  EXPECT_EQ(UnregisterUninstall("Xelta Z614"), 0);
  EXPECT_EQ(UnregisterUninstall(""), 0);  // would take the whole list
  EXPECT_EQ(RegisterUninstall(std::string(255, 'n').c_str(), "x", "C:\\x.exe"), 0);  // cut
}

// ---- Service control, against Wine's real service manager ----

TEST(ServiceControl, StartStopAndDeleteARealService) {
  EXPECT_EQ(DeleteStoppedService("Z614Missing"), 0);

  CreateTestService("Z614TestMC", SERVICE_WIN32_OWN_PROCESS);
  EXPECT_EQ(StopServiceAndWait("Z614TestMC"), 1) << "a stopped service counts as stopped";
  EXPECT_EQ(StartServiceAndWait("Z614TestMC"), 1);
  EXPECT_EQ(StartServiceAndWait("Z614TestMC"), 1) << "a running service counts as running";
  EXPECT_EQ(DeleteStoppedService("Z614TestMC"), 1) << "stopped first, then deleted";
  EXPECT_TRUE(ServiceGoneWithinTwoSeconds("Z614TestMC"));
}

// A driver that cannot start here. One that does not accept a stop is kept: the management
// service's removal shows it (device steps).
TEST(ServiceControl, ADriverThatCannotStartFails) {
  CreateTestService("Z614TestDrv", SERVICE_KERNEL_DRIVER);
  EXPECT_EQ(StartServiceAndWait("Z614TestDrv"), 0);
  EXPECT_EQ(DeleteStoppedService("Z614TestDrv"), 1) << "a driver that never ran is stopped";
}

// The poll after a stop request: a service that stops within the five waits counts as stopped;
// one that is still stopping after them gives 0 and is left as it is.
TEST(ServiceControl, TheStopPollWaitsFiveSecondsAndNoLonger) {
  if (RunsAs9x()) GTEST_SKIP() << "the same poll; the card's services are an NT family matter";
  for (const int stopSeconds : {2, 8}) {
    SCOPED_TRACE(stopSeconds);
    const std::string name = "Z614TestSlow" + std::to_string(stopSeconds);
    CreateTestService(name.c_str(), SERVICE_WIN32_OWN_PROCESS,
                      " slowstop " + std::to_string(stopSeconds));
    ASSERT_EQ(StartServiceAndWait(name.c_str()), 1);
    const DWORD start = GetTickCount();
    EXPECT_EQ(StopServiceAndWait(name.c_str()), stopSeconds < 5 ? 1 : 0);
    const DWORD elapsed = GetTickCount() - start;
    if (stopSeconds < 5) {
      EXPECT_GE(elapsed, 1500u);
      EXPECT_LT(elapsed, 4500u);
    } else {
      EXPECT_GE(elapsed, 4500u) << "five waits of a second";
      EXPECT_LT(elapsed, 7000u);
      // Still stopping: a second stop request is refused, so the service is not deleted.
      EXPECT_EQ(DeleteStoppedService(name.c_str()), 0);
      EXPECT_EQ(ServiceExists(name.c_str()), 1);
    }
    for (int i = 0; i < 100 && DeleteStoppedService(name.c_str()) == 0; ++i) Sleep(100);
    EXPECT_TRUE(ServiceGoneWithinTwoSeconds(name.c_str()));
  }
}

// Presence on each family is checked end to end. Here what does not count: a RunServices
// value without data (binary: 9x keeps a terminator with any string), and the other family's way.
TEST(ServiceControl, SmartCardServiceCountsOnlyWhereItsFamilyRegistersIt) {
  const char* const key = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
  if (RunsAs9x()) {
    ASSERT_TRUE(SetMachineValue(key, "ScardSvr", REG_BINARY, "", 0));
    CreateTestService("SCardSvr", SERVICE_WIN32_OWN_PROCESS);
  } else {
    ASSERT_TRUE(SetMachineValue(key, "ScardSvr", REG_SZ, "SCardSvr.exe", 13));
  }
  EXPECT_EQ(SmartCardServicePresent(), 0);
  DeleteStoppedService("SCardSvr");
}

}  // namespace
