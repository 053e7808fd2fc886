// Components (template 112, step 4): check boxes for the optional components of a Custom
// setup. The smart card driver can only be chosen while the system's smart card service is
// registered; on the 9x family the page looks again every second, so a service installed
// while the page is open makes the row selectable without leaving the page.
#include <windows.h>

#include <commctrl.h>

#include "sys/globals.h"
#include "sys/os_version.h"
#include "core/bounded_string.h"
#include "device/service_control.h"
#include "res/resource.h"
#include "sys/module_instance.h"
#include "wizard/confirm_cancel.h"
#include "wizard/install_flow.h"
#include "wizard/page_protocol.h"
#include "wizard/page_skin.h"
#include "wizard/wizard_frame.h"
#include "wizard/wizard_messages.h"

namespace {

constexpr int kComponentsStep = 4;
constexpr UINT kComponentTimerId = 1;
constexpr UINT kComponentTimerMs = 1000;
constexpr int kRowTextSize = 256;

// Row numbers are the rows' item data; 3 is not used by any component.
constexpr int kDriverRow = 0;
constexpr int kHelpRow = 1;
constexpr int kAdminRow = 2;
constexpr int kSmartCardRow = 4;
constexpr int kRowNumbers = 5;

struct ComponentRow {
  ComponentSet bit;
  UINT name;
  UINT description;  // 0: none
};
constexpr ComponentRow kRows[kRowNumbers] = {
    {kComponentDriver, IDS_COMPONENT_DRIVER, IDS_COMPONENT_DRIVER_DESC},
    {kComponentHelp, IDS_COMPONENT_HELP, IDS_COMPONENT_HELP_DESC},
    {kComponentAdmin, IDS_COMPONENT_ADMIN, IDS_COMPONENT_ADMIN_DESC},
    {0, 0, 0},
    {kComponentSC, IDS_COMPONENT_SC, IDS_COMPONENT_SC_DESC},
};

// The list view points at the names, so they live as long as the process. The smart card
// description holds its text and, while the service is missing, the note of string 83.
char rowNames[kRowNumbers][kRowTextSize];
char rowDescriptions[kRowNumbers][kRowTextSize];
char smartCardDescription[2 * kRowTextSize];

uint32_t smartCardServiceFound = 0;
UINT_PTR componentTimer = 0;

HWND ComponentList(HWND page) { return GetDlgItem(page, IDC_COMPONENTS); }

int RowNumberOf(HWND list, int item) {
  LVITEMA row = {};
  row.mask = LVIF_PARAM;
  row.iItem = item;
  if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&row))) return -1;
  return static_cast<int>(row.lParam);
}

int ItemOfRow(HWND list, int rowNumber) {
  const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int item = 0; item < count; ++item) {
    if (RowNumberOf(list, item) == rowNumber) return item;
  }
  return -1;
}

const char* DescriptionOf(int rowNumber) {
  if (rowNumber == kSmartCardRow) return smartCardDescription;
  if (rowNumber < 0 || rowNumber >= kRowNumbers) return "";
  return rowDescriptions[rowNumber];
}

void BuildSmartCardDescription(int serviceFound) {
  LoadText(IDS_COMPONENT_SC_DESC, smartCardDescription);
  if (serviceFound) return;
  char note[kTextBufferSize];
  LoadText(IDS_SMART_CARD_BASE_MISSING, note);
  AppendText(smartCardDescription, sizeof smartCardDescription, "\r\n");
  AppendText(smartCardDescription, sizeof smartCardDescription, note);
}

void SetChecked(HWND list, int item, bool checked) {
  ListView_SetCheckState(list, item, checked ? TRUE : FALSE);
}

void InsertRow(HWND list, int rowNumber) {
  LoadText(kRows[rowNumber].name, rowNames[rowNumber]);
  if (kRows[rowNumber].description) {
    LoadText(kRows[rowNumber].description, rowDescriptions[rowNumber]);
  }
  LVITEMA row = {};
  row.mask = LVIF_TEXT | LVIF_PARAM;
  row.iItem = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  row.pszText = rowNames[rowNumber];
  row.lParam = rowNumber;
  SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row));
}

void InitRows(HWND page) {
  HWND list = ComponentList(page);
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  LVCOLUMNA column = {};
  column.mask = LVCF_TEXT;
  column.pszText = const_cast<char*>("");
  SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  InsertRow(list, kDriverRow);
  InsertRow(list, kHelpRow);
  if (payloadArchive.CountMatches(kAdminModuleEntry) > 0) InsertRow(list, kAdminRow);
  if (payloadArchive.CountMatches(kSmartCardEntries) > 0) {
    BuildSmartCardDescription(SmartCardServicePresent());
    InsertRow(list, kSmartCardRow);
  }
  SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
  ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void StopTimer(HWND page) {
  if (componentTimer) KillTimer(page, componentTimer);
  componentTimer = 0;
}

void OnShown(HWND page) {
  smartCardServiceFound = SmartCardServicePresent();
  if (payloadArchive.CountMatches(kSmartCardEntries) > 0 && IsWin9x()) {
    componentTimer = SetTimer(page, kComponentTimerId, kComponentTimerMs, nullptr);
  } else {
    componentTimer = 0;
  }
  HWND list = ComponentList(page);
  const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int item = 0; item < count; ++item) {
    const int rowNumber = RowNumberOf(list, item);
    if (rowNumber < 0 || rowNumber >= kRowNumbers) continue;
    SetChecked(list, item, (selectedComponents & kRows[rowNumber].bit) != 0);
  }
}

void OnItemChanged(HWND page, const NMLISTVIEW* change) {
  HWND list = ComponentList(page);
  const int rowNumber = RowNumberOf(list, change->iItem);
  if ((change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED)) {
    SetDlgItemTextA(page, IDC_DESCRIPTION, DescriptionOf(rowNumber));
  }
  // Without the system's smart card service the driver would not work: undo the check.
  if (rowNumber == kSmartCardRow && ListView_GetCheckState(list, change->iItem) &&
      smartCardServiceFound == 0) {
    SetChecked(list, change->iItem, false);
  }
}

void OnTimer(HWND page) {
  const uint32_t found = SmartCardServicePresent();
  if (found == smartCardServiceFound) return;
  HWND list = ComponentList(page);
  BuildSmartCardDescription(found);
  const int item = ItemOfRow(list, kSmartCardRow);
  const int mark = static_cast<int>(SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0));
  if (item >= 0 && mark == item) SetDlgItemTextA(page, IDC_DESCRIPTION, smartCardDescription);
  if (!found && item >= 0) SetChecked(list, item, false);
  smartCardServiceFound = found;
}

void TakeChoices(HWND page) {
  StopTimer(page);
  HWND list = ComponentList(page);
  ComponentSet chosen = kAlwaysInstalled;
  const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int item = 0; item < count; ++item) {
    const int rowNumber = RowNumberOf(list, item);
    if (rowNumber < 0 || rowNumber >= kRowNumbers) continue;
    if (ListView_GetCheckState(list, item)) chosen |= kRows[rowNumber].bit;
  }
  selectedComponents = chosen;
}

}  // namespace

INT_PTR CALLBACK ComponentsPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
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
      if (wParam == componentTimer) OnTimer(page);
      return TRUE;
    case kMsgPageShown:
      OnShown(page);
      return TRUE;
    case kMsgPageNext:
      TakeChoices(page);
      return TRUE;
    case kMsgPageBack:
      StopTimer(page);
      return TRUE;
    case kMsgQueryCancel: {
      const int confirmed = ConfirmCancel(page, kModeInstall);
      if (confirmed) StopTimer(page);
      SetWindowLongPtrA(page, DWLP_MSGRESULT, confirmed);
      return TRUE;
    }
    default:
      break;
  }
  if (AnswerPageProtocol(page, message, kModeInstall, kComponentsStep, &result)) return result;
  return FALSE;
}
