// The one engine behind SelectMenu and SelectMenu_menu: shows a counted menu
// record (its text is the decimal entry count, entry n is ID + 1 + n) and
// reports the entry chosen. The two callers differ only in the rules below.
#ifndef VAZ_CORE_COUNTED_MENU_H
#define VAZ_CORE_COUNTED_MENU_H

#include "vaz_old.h"

namespace vaz {

struct MenuRules {
  // Narrows the entries on offer (indices, in screen order) and returns how
  // many remain; null offers every entry in order.
  int (*offer)(int *entries, u32 menuId, int count) = nullptr;
  int maxEntries = 255;           // a record counting more is cut here
  bool emptyIsBack = false;       // nothing on offer: Back without a menu
  bool outOfRangeIsBack = false;  // a position past the entries: Back, not the position
};

// An entry index, VAZ_SELECT_BACK or VAZ_SELECT_REFUSED.
int select_counted_menu(u32 menuId, int preselect, const MenuRules &rules);

}  // namespace vaz

#endif
