// The tape browser as a Windows dialog: the blocks of the tape in the deck
// in a list view, the tape's place below it, "Tekerés" winds the tape to the
// chosen block (a double click too) and "Bezárás" closes.
#include <windows.h> // before the other Windows headers, which need it

#include <commctrl.h>

#include "host/core/commands.h"
#include "host/ui/tape_browser.h"
#include "host/win32/resource_ids.h"
#include "host/win32/win32.h"
#include "media/tape_list.h"

namespace {

std::string describedText;

void set_text(HWND dialog, int id, const std::string& text) {
  SetDlgItemTextA(dialog, id, to_ansi(text.c_str()).c_str());
}

// The rows anew, the block the tape is in or before chosen.
void fill(HWND dialog) {
  HWND list = GetDlgItem(dialog, IDC_TAPE_LIST);
  ListView_DeleteAllItems(list);
  const size_t count = tape_list().blocks.size();
  for (size_t i = 0; i < count; ++i) {
    std::string columns[TAPE_BROWSER_COLUMNS];
    tape_browser_columns(i, columns);
    for (int c = 0; c < TAPE_BROWSER_COLUMNS; ++c) {
      std::string text = to_ansi(columns[c].c_str());
      LVITEMA item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(i);
      item.iSubItem = c;
      item.pszText = text.data();
      if (c == 0)
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
      else
        SendMessageA(list, LVM_SETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
    }
  }
  set_text(dialog, IDC_TAPE_HEADING, tape_browser_heading());
  set_text(dialog, IDC_TAPE_PLACE, count ? tape_list_place_text() : std::string());
  TapePlace place;
  if (tape_list_place(&place) && place.kind != TAPE_PLACE_AFTER_LAST) {
    const int row = static_cast<int>(place.block);
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, row, FALSE);
  }
  EnableWindow(GetDlgItem(dialog, IDC_TAPE_WIND), count > 0);
}

void set_up(HWND dialog) {
  SetWindowTextA(dialog, to_ansi(tapeBrowserTitle).c_str());
  set_text(dialog, IDC_TAPE_WIND, tapeBrowserWind);
  set_text(dialog, IDCANCEL, tapeBrowserClose);
  HWND list = GetDlgItem(dialog, IDC_TAPE_LIST);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
  const int widths[TAPE_BROWSER_COLUMNS] = {50, 130, 80, 50, 100};
  for (int c = 0; c < TAPE_BROWSER_COLUMNS; ++c) {
    std::string text = to_ansi(tapeBrowserColumns[c]);
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.cx = widths[c];
    column.iSubItem = c;
    column.pszText = text.data();
    SendMessageA(list, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&column));
  }
  fill(dialog);
}

void wind_selected(HWND dialog) {
  const int row = ListView_GetNextItem(GetDlgItem(dialog, IDC_TAPE_LIST), -1, LVNI_SELECTED);
  if (row >= 0 && tape_browser_wind(static_cast<size_t>(row))) fill(dialog);
}

// The dialog read back from its controls, as one line.
std::string describe(HWND dialog) {
  char text[512];
  GetWindowTextA(dialog, text, sizeof text);
  std::string line = "dialog " + std::to_string(IDD_TAPE_BROWSER) + ": " + from_ansi(text);
  for (int id : {static_cast<int>(IDC_TAPE_HEADING), static_cast<int>(IDC_TAPE_PLACE)}) {
    GetDlgItemTextA(dialog, id, text, sizeof text);
    if (text[0]) line.append(" | ").append(from_ansi(text));
  }
  HWND list = GetDlgItem(dialog, IDC_TAPE_LIST);
  const int rows = ListView_GetItemCount(list);
  for (int r = 0; r < rows; ++r) {
    line += " |";
    for (int c = 0; c < TAPE_BROWSER_COLUMNS; ++c) {
      LVITEMA item{};
      item.iSubItem = c;
      item.pszText = text;
      item.cchTextMax = sizeof text;
      text[0] = '\0';
      SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(&item));
      line.append(" ").append(from_ansi(text));
    }
  }
  for (int id : {static_cast<int>(IDC_TAPE_WIND), static_cast<int>(IDCANCEL)}) {
    GetDlgItemTextA(dialog, id, text, sizeof text);
    line.append(" | [").append(from_ansi(text)).append("]");
  }
  return line;
}

INT_PTR CALLBACK procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_INITDIALOG:
    set_up(dialog);
    if (lParam) {
      describedText = describe(dialog);
      EndDialog(dialog, IDCANCEL);
    }
    return TRUE;
  case WM_COMMAND:
    if (LOWORD(wParam) == IDC_TAPE_WIND) {
      wind_selected(dialog);
      return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    }
    return FALSE;
  case WM_NOTIFY: {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->idFrom == IDC_TAPE_LIST && header->code == NM_DBLCLK) {
      wind_selected(dialog);
      return TRUE;
    }
    return FALSE;
  }
  case WM_CLOSE: EndDialog(dialog, IDCANCEL); return TRUE;
  default: return FALSE;
  }
}

} // namespace

std::string win_tape_browser(bool describeOnly) {
  describedText.clear();
  DialogBoxParamA(winInstance, MAKEINTRESOURCEA(IDD_TAPE_BROWSER), mainWindow, procedure,
                  describeOnly ? 1 : 0);
  return describedText;
}
