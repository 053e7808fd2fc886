// The card check, the "GPRS" entry and the card dialogs under Wine, with the card simulator,
// the substitute dial-up library (its phone book read back) and the 9x family's drivers
// answering through the device I/O seam.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <ras.h>
#include <shlwapi.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "device/card_check.h"
#include "device/card_dialogs.h"
#include "device/gprs_entry.h"
#include "res/resource.h"
#include "tests/win/simulated_card_support.h"
#include "tests/win/wine_version.h"

namespace {

constexpr char kModem[] = "Xelta Z614 GSM modem";

// Every card test starts without the card, its traces, the phone book or set driver answers.
class Card : public testing::Test {
 protected:
  void SetUp() override {
    RunSimulator("remove");
    DeleteFileA(phoneBook.c_str());
    drivers = Drivers9x{};
    deviceIo = {OpenDevice, Request, CloseDevice};
  }
  void TearDown() override { deviceIo = {CreateFileA, DeviceIoControl, CloseHandle}; }
};

// Each row: the NT family's two Enum keys (absent -2, without "Count" -1, an 8-byte "Count" -3, or
// this count), the 9x family's driver answers, whether the modem is listed, and what each family
// reports; on the 9x family also the management query's result.
TEST_F(Card, CheckFoldsTheDriversTracesAndTheDialUpEntryAndClosesEveryHandle) {
  const struct { int modem, network; bool bus, management; Serve serve; uint32_t status, card; const char* listed;
                 CardState nt, x9; int query; } rows[] = {
      {-2, -2, true, false, kAtOnce, 0, 0, nullptr, 0, 3, 1},          {-1, -1, false, true, kAtOnce, 0, 1, kModem, 21, 28, 2},
      {0, 0, true, true, kPending, 0, 1, nullptr, 5, 15, 2},           {1, -2, true, true, kAtOnce, 0, 0, nullptr, 3, 3, 0},
      {-2, 2, false, true, kPending, 5, 1, nullptr, 12, 0, 1},         {1, 1, true, true, kFails, 0, 1, kModem, 31, 19, 1},
      {-3, 1, false, true, kPendingFails, 0, 1, nullptr, 13, 0, 1}};
  for (const auto& row : rows) {
    SetUp();
    for (auto [service, count] : {std::pair{"Z614MDM", row.modem}, std::pair{"Z614NIC", row.network}}) {
      const std::string key = std::string("SYSTEM\\CurrentControlSet\\Services\\") + service + "\\Enum";
      const uint64_t value = count;
      if (count != -2) SetMachineValue(key.c_str(), count == -1 ? "Next" : "Count", REG_BINARY, &value, count == -3 ? 8 : 4);
    }
    drivers = {row.bus, row.management, false, row.serve, {row.status, row.card, 42}};
    Simulate("GsmModem", row.listed);
    uint32_t value = 0;
    if (RunsAs9x()) {
      EXPECT_EQ(QueryManagementDevice(&value), row.query) << row.x9;
      EXPECT_EQ(value, row.query == 2 ? 42u : 0u);
      EXPECT_EQ(managementDevice != INVALID_HANDLE_VALUE, row.query != 1);
      CloseManagementDevice();
    }
    int32_t error = -1;
    EXPECT_EQ(CheckCard(&error), RunsAs9x() ? row.x9 : row.nt) << row.nt << " " << row.x9;
    EXPECT_EQ(error, 0);
    EXPECT_EQ(drivers.openHandles, 0);
    EXPECT_EQ(managementDevice, INVALID_HANDLE_VALUE);
  }
}

TEST_F(Card, GprsEntryIsMadeOnTheCardsModemOnlyAndKeptWhenThere) {
  RASENTRYA seed, made, read;  // the entry the setup makes: every field not set here zero
  memset(&made, 0, sizeof made), memset(&seed, 0, sizeof seed), memcpy(seed.szLocalPhoneNumber, "5551234", 8);
  const bool nt = !RunsAs9x();
  seed.dwSize = made.dwSize = sizeof made, made.dwfOptions = nt ? 0x3D0D4330 : 0x310;
  made.dwCountryID = made.dwCountryCode = nt ? 358 : 0, made.dwfNetProtocols = 4, made.dwFramingProtocol = 1;
  memcpy(made.szLocalPhoneNumber, "*99#", 5), memcpy(made.szDeviceType, "modem", 6), memcpy(made.szDeviceName, kModem, 21);
  if (nt) {
    made.dwSubEntries = made.dwDialMode = made.dwType = 1, made.dwEncryptionType = 3;
    made.dwDialExtraPercent = 75, made.dwHangUpExtraPercent = 10;
    made.dwDialExtraSampleSeconds = made.dwHangUpExtraSampleSeconds = 120;
    made.guidId = {0x3B46C379, 0xCDF8, 0x40A1, {0xBC, 0x24, 0x1D, 0x3B, 0xF4, 0x9D, 0x43, 0xF0}};
  }
  const struct { const char* listed; bool seeded; const char* rebind; int result; const RASENTRYA* after; } rows[] = {
      {nullptr, false, nullptr, 0, nullptr},      {nullptr, true, nullptr, 0, &seed},
      {kModem, false, nullptr, 1, &made},         {"XELTA z614 gsm MODEM", false, nullptr, 1, &made},
      {kModem, true, nullptr, 1, &seed},          {kModem, false, "Standard 33600 bps Modem", 0, nullptr}};
  for (const auto& row : rows) {
    SetUp();
    Simulate("GsmModem", row.listed), Simulate("RebindTo", row.rebind);
    if (row.seeded) WritePrivateProfileStructA("GPRS", "Entry", &seed, sizeof seed, phoneBook.c_str());
    EXPECT_EQ(EnsureGprsEntry(), row.result) << (row.listed ? row.listed : "no modem");
    const bool present = GetPrivateProfileStructA("GPRS", "Entry", &read, sizeof read, phoneBook.c_str());
    EXPECT_TRUE(row.after ? present && memcmp(&read, row.after, sizeof read) == 0 : !present);
    DeleteGprsEntry();
    EXPECT_FALSE(GetPrivateProfileStructA("GPRS", "Entry", &read, sizeof read, phoneBook.c_str()));
  }
}

// A card dialog opened as a worker opens it: from a worker thread, owned by a page window of
// this thread, which serves its messages meanwhile, as the wizard's thread does.
class CardDialog : public Card {
 protected:
  HWND page = nullptr, dialog = nullptr;
  std::thread worker;
  std::atomic<bool> closed{false};

  void Open(void (*show)(HWND)) {
    InitCommonControls();
    page = CreateWindowExA(0, "STATIC", "page", WS_POPUP | WS_VISIBLE, 0, 0, 99, 99, nullptr, nullptr, nullptr, nullptr);
    closed = false;
    worker = std::thread([this, show] { show(page), closed = true; });
    // A modal dialog shows once its WM_INITDIALOG is done; its animation is then open.
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(dialog = FindWindowA("#32770", nullptr)); }, 5000));
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), page);
    EXPECT_TRUE(SendDlgItemMessageA(dialog, IDC_CARD_ANIMATION, ACM_PLAY, WPARAM(-1), MAKELONG(0, -1)));
  }
  bool PumpUntil(const std::function<bool()>& done, DWORD limitMs) {
    for (const DWORD start = GetTickCount(); !done(); MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT)) {
      for (MSG m; PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&m);
      if (GetTickCount() - start > limitMs) return false;
    }
    return true;
  }
  int Progress() { return int(SendDlgItemMessageA(dialog, IDC_CARD_PRESENCE, PBM_GETPOS, 0, 0)); }
  // True when the dialog closes within about two seconds after the simulator changed the card.
  bool ClosesAfter(const char* arguments) {
    HANDLE simulator = RunSimulator(arguments, false);
    PumpUntil([&] { return WaitForSingleObject(simulator, 0) == WAIT_OBJECT_0; }, 10000);
    return CloseHandle(simulator), PumpUntil([&] { return closed.load(); }, 2500);
  }
  void TearDown() override {
    if (worker.joinable() && !closed) PostMessageA(GetDlgItem(dialog, IDC_CARD_CANCEL), BM_CLICK, 0, 0);
    if (worker.joinable()) PumpUntil([&] { return closed.load(); }, 5000), worker.join();
    DestroyWindow(page);
    Card::TearDown();
  }
};

TEST_F(CardDialog, InsertCardClosesOnceTheCardAndItsEntryAreThere) {
  Open(ShowInsertCardDialog);
  EXPECT_EQ(GetDlgItem(dialog, IDC_NT_NOTE) != nullptr, !RunsAs9x());
  EXPECT_TRUE(ClosesAfter("insert 300"));
}

TEST_F(CardDialog, RemoveCardShowsWhatIsLeftAndClosesOnceTheCardIsGone) {
  RunSimulator("insert");
  Open(ShowRemoveCardDialog);
  EXPECT_EQ(Progress(), 0);
  EXPECT_TRUE(PumpUntil([&] { return Progress() == 100; }, 2500));
  // On the NT family the network function goes in two steps: its count, then its key.
  const char* network = "SYSTEM\\CurrentControlSet\\Services\\Z614NIC\\Enum";
  if (!RunsAs9x()) SHDeleteValueA(HKEY_LOCAL_MACHINE, network, "Count");
  EXPECT_TRUE(RunsAs9x() || PumpUntil([&] { return Progress() == 75; }, 2500));
  if (!RunsAs9x()) SHDeleteKeyA(HKEY_LOCAL_MACHINE, network);
  EXPECT_TRUE(RunsAs9x() || PumpUntil([&] { return Progress() == 50; }, 2500));
  EXPECT_TRUE(ClosesAfter("remove 300"));
}

// Cancel on the insert-card dialog is pressed by the install run scenario on both families.
TEST_F(CardDialog, CancelEndsTheRemoveCardDialog) {
  RunSimulator("insert");
  Open(ShowRemoveCardDialog);
  PostMessageA(GetDlgItem(dialog, IDC_CARD_CANCEL), BM_CLICK, 0, 0);
  EXPECT_TRUE(PumpUntil([&] { return closed.load(); }, 2000));
}

}  // namespace
