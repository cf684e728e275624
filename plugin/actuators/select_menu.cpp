// SelectMenu: the menus of the actuator and special tests, every entry of the
// record offered; the position the menu reports is passed on as it is.
#include "core/counted_menu.h"

extern "C" {

VAZ_EXPORT int SelectMenu(u32 menuId, int previous) {
  return vaz::select_counted_menu(menuId, previous, vaz::MenuRules{});
}

}  // extern "C"
