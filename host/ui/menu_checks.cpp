// The check marks, by the item's row in the menu table.
#include "host/ui/menu_checks.h"

#include "host/platform.h"
#include "host/ui/menu.h"

namespace {

constexpr int kRows = 256;
bool checks[kRows];

int row_of(int id) {
  for (int i = 0; i < menuEntryCount && i < kRows; ++i)
    if (menuEntries[i].kind == MENU_ITEM && menuEntries[i].id == id) return i;
  return -1;
}

} // namespace

void menu_set_checked(int id, bool checked) {
  const int row = row_of(id);
  if (row >= 0) checks[row] = checked;
  platform_menu_check(id, checked);
}

bool menu_checked(int id) {
  const int row = row_of(id);
  return row >= 0 && checks[row];
}

void menu_clear_checks() {
  for (bool& c : checks) c = false;
}
