// Modify components (template 122, step 1): check boxes for the optional components, starting
// from the installed set. Next is enabled only while the set differs from the installed one.
// The smart card row can only be checked while the system's smart card service is registered;
// the page looks every second, so the row follows the service while the page is open.
#include <windows.h>

#include <commctrl.h>

#include "core/bounded_string.h"
#include "device/service_control.h"
#include "res/resource.h"
#include "sys/globals.h"
#include "sys/module_instance.h"
#include "wizard/confirm_cancel.h"
#include "wizard/install_flow.h"
#include "wizard/maintenance_flow.h"
#include "wizard/page_protocol.h"
#include "wizard/setup_mode.h"
#include "wizard/wizard_frame.h"
#include "wizard/wizard_messages.h"

namespace {

constexpr int kComponentsStep = 1;
constexpr UINT kServiceTimerId = 1;
constexpr UINT kServiceTimerMs = 1000;
constexpr int kRowTextSize = 256;

// Row numbers are the rows' item data; they index the bit table.
constexpr int kDriverRow = 0;
constexpr int kHelpRow = 1;
constexpr int kAdminRow = 2;
constexpr int kSmartCardRow = 4;
constexpr int kRowNumbers = 6;
constexpr ComponentSet kRowBits[kRowNumbers] = {kComponentDriver, kComponentHelp,
                                                kComponentAdmin,  kComponentSMS,
                                                kComponentSC,     kComponentUI};
constexpr UINT kRowNames[kRowNumbers] = {IDS_COMPONENT_DRIVER, IDS_COMPONENT_HELP,
                                         IDS_COMPONENT_ADMIN,  0, IDS_COMPONENT_SC, 0};
constexpr UINT kRowDescriptions[kRowNumbers] = {
    IDS_COMPONENT_DRIVER_DESC, IDS_COMPONENT_HELP_DESC, IDS_COMPONENT_ADMIN_DESC, 0,
    IDS_COMPONENT_SC_DESC, 0};

// The list view points at the names, so they live as long as the process. The smart card
// description gains the note of string 83 once the timer sees the service missing.
char rowNames[kRowNumbers][kRowTextSize];
char rowDescriptions[kRowNumbers][kRowTextSize];
char smartCardDescription[2 * kRowTextSize];

uint32_t smartCardServiceFound = 0;
UINT_PTR serviceTimer = 0;

HWND ComponentList(HWND page) { return GetDlgItem(page, IDC_COMPONENTS); }

int RowNumberOf(HWND list, int item) {
  LVITEMA row = {};
  row.mask = LVIF_PARAM;
  row.iItem = item;
  if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&row))) return -1;
  const int number = static_cast<int>(row.lParam);
  return number >= 0 && number < kRowNumbers ? number : -1;
}

int ItemCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

int ItemOfRow(HWND list, int rowNumber) {
  for (int item = 0; item < ItemCount(list); ++item) {
    if (RowNumberOf(list, item) == rowNumber) return item;
  }
  return -1;
}

const char* DescriptionOf(int rowNumber) {
  if (rowNumber == kSmartCardRow) return smartCardDescription;
  return rowNumber < 0 ? "" : rowDescriptions[rowNumber];
}

void InsertRow(HWND list, int rowNumber) {
  LoadText(kRowNames[rowNumber], rowNames[rowNumber]);
  LoadText(kRowDescriptions[rowNumber], rowDescriptions[rowNumber]);
  LVITEMA row = {};
  row.mask = LVIF_TEXT | LVIF_PARAM;
  row.iItem = ItemCount(list);
  row.pszText = rowNames[rowNumber];
  row.lParam = rowNumber;
  SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row));
}

// Components the running payload cannot install are neither offered nor kept.
void DropComponent(ComponentSet bit) {
  selectedComponents &= ~bit;
  newComponents = selectedComponents;
}

void InitRows(HWND page) {
  HWND list = ComponentList(page);
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  LVCOLUMNA column = {};
  column.mask = LVCF_TEXT;
  column.pszText = const_cast<char*>("");
  SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  InsertRow(list, kDriverRow);
  InsertRow(list, kHelpRow);
  if (payloadArchive.CountMatches(kAdminModuleEntry) > 0) {
    InsertRow(list, kAdminRow);
  } else {
    DropComponent(kComponentAdmin);
  }
  LoadText(IDS_COMPONENT_SC_DESC, smartCardDescription);
  payloadArchive.Open("");
  if (PayloadHasSmartCardFiles()) {
    InsertRow(list, kSmartCardRow);
  } else {
    DropComponent(kComponentSC);
  }
  SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
  ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

ComponentSet CheckedSet(HWND list) {
  ComponentSet chosen = kKeptComponents;
  for (int item = 0; item < ItemCount(list); ++item) {
    const int rowNumber = RowNumberOf(list, item);
    if (rowNumber >= 0 && ListView_GetCheckState(list, item)) chosen |= kRowBits[rowNumber];
  }
  return chosen;
}

void EnableNextOnChange(ComponentSet chosen) {
  wizardFrame.EnableButtons(chosen != selectedComponents ? kAllButtons
                                                         : kButtonBack | kButtonCancel);
}

void StopTimer(HWND page) {
  if (serviceTimer) KillTimer(page, serviceTimer);
  serviceTimer = 0;
}

void OnShown(HWND page) {
  serviceTimer = SetTimer(page, kServiceTimerId, kServiceTimerMs, nullptr);
  wizardFrame.EnableButtons(kAllButtons);
  smartCardServiceFound = SmartCardServicePresent();
  HWND list = ComponentList(page);
  for (int item = 0; item < ItemCount(list); ++item) {
    const int rowNumber = RowNumberOf(list, item);
    if (rowNumber < 0) continue;
    ListView_SetCheckState(list, item, (newComponents & kRowBits[rowNumber]) ? TRUE : FALSE);
  }
  EnableNextOnChange(newComponents);
}

void OnItemChanged(HWND page, const NMLISTVIEW* change) {
  HWND list = ComponentList(page);
  const int rowNumber = RowNumberOf(list, change->iItem);
  if (change->uNewState & LVIS_SELECTED) {
    SetDlgItemTextA(page, IDC_DESCRIPTION, DescriptionOf(rowNumber));
  }
  // Without the system's smart card service the driver would not work: undo the check.
  if (rowNumber == kSmartCardRow && ListView_GetCheckState(list, change->iItem) &&
      smartCardServiceFound == 0) {
    ListView_SetCheckState(list, change->iItem, FALSE);
  }
  EnableNextOnChange(CheckedSet(list));
}

void OnTimer(HWND page) {
  const uint32_t found = SmartCardServicePresent();
  if (found == smartCardServiceFound) return;
  LoadText(IDS_COMPONENT_SC_DESC, smartCardDescription);
  if (!found) {
    char note[kTextBufferSize];
    LoadText(IDS_SMART_CARD_BASE_MISSING, note);
    AppendText(smartCardDescription, sizeof smartCardDescription, "\r\n");
    AppendText(smartCardDescription, sizeof smartCardDescription, note);
  }
  HWND list = ComponentList(page);
  const int item = ItemOfRow(list, kSmartCardRow);
  const int mark = static_cast<int>(SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0));
  if (item >= 0 && mark == item) SetDlgItemTextA(page, IDC_DESCRIPTION, smartCardDescription);
  // Stored before the check is cleared, so that the change it notifies sees the new answer.
  smartCardServiceFound = found;
  if (!found && item >= 0) ListView_SetCheckState(list, item, FALSE);
}

void TakeChoices(HWND page) {
  StopTimer(page);
  newComponents = CheckedSet(ComponentList(page));
}

}  // namespace

INT_PTR CALLBACK ModifyComponentsPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  INT_PTR result = FALSE;
  switch (message) {
    case WM_INITDIALOG:
      InitRows(page);
      return TRUE;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->idFrom == IDC_COMPONENTS && header->code == LVN_ITEMCHANGED) {
        OnItemChanged(page, reinterpret_cast<const NMLISTVIEW*>(lParam));
      }
      return FALSE;
    }
    case WM_TIMER:
      if (wParam == serviceTimer) OnTimer(page);
      return TRUE;
    case kMsgPageShown:
      OnShown(page);
      return TRUE;
    case kMsgPageNext:
    case kMsgPageBack:
      TakeChoices(page);
      return TRUE;
    case kMsgQueryCancel: {
      const int confirmed = ConfirmCancel(page, kModeModify);
      if (confirmed) StopTimer(page);
      SetWindowLongPtrA(page, DWLP_MSGRESULT, confirmed);
      return TRUE;
    }
    default:
      break;
  }
  if (AnswerPageProtocol(page, message, kModeModify, kComponentsStep, &result)) return result;
  return FALSE;
}
