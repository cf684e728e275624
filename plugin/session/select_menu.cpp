// SelectMenu_menu: an ECU function menu, filtered by the host's availability
// bits; a position the menu does not have counts as Back.
#include "core/counted_menu.h"

namespace {

// The entry list holds 20 entries; a menu text counting more is cut there.
constexpr int kListSize = 20;

int offered(int *entries, u32 menuId, int count) {
  return iFuncConfig_vaz == VAZ_FUNC_ALL ? count : FuncConfig(entries, menuId);
}

constexpr vaz::MenuRules kFunctionMenu{
    .offer = offered, .maxEntries = kListSize, .emptyIsBack = true, .outOfRangeIsBack = true};

}  // namespace

extern "C" {

VAZ_EXPORT int SelectMenu_menu(u32 menuId, int preselect) {
  return vaz::select_counted_menu(menuId, preselect, kFunctionMenu);
}

}  // extern "C"
