// Which function-menu entries the host's availability bits offer, and in what
// on-screen order.
#include <span>

#include "vaz_old.h"

namespace {

struct Offer {
  int mask;  // availability bit
  int entry;
};

// Read codes, erase, first data list, actuator test, identification, special
// entries: the on-screen order of the offers.
constexpr int kCodes = VAZ_FUNC_CODES, kErase = VAZ_FUNC_ERASE, kData = VAZ_FUNC_DATA, kActuator = VAZ_FUNC_ACTUATOR,
              kIdent = VAZ_FUNC_IDENT, kSpecial = VAZ_FUNC_SPECIAL;

constexpr Offer kIsfi[] = {{kCodes, 0}, {kCodes, 1}, {kErase, 2}, {kData, 3}, {kActuator, 5}, {kSpecial, 4}};
constexpr Offer kEfi[] = {{kCodes, 0}, {kErase, 1}, {kData, 2}, {kActuator, 4}, {kSpecial, 3}};
constexpr Offer kM154[] = {{kCodes, 1},    {kCodes, 2}, {kErase, 3},   {kData, 4},
                           {kActuator, 6}, {kIdent, 0}, {kSpecial, 5}, {kSpecial, 7}};
constexpr Offer kM154Family[] = {{kCodes, 1},    {kCodes, 2}, {kErase, 3},   {kData, 4},
                                 {kActuator, 7}, {kIdent, 0}, {kSpecial, 5}, {kSpecial, 6}};
constexpr Offer kM70[] = {{kCodes, 1},    {kCodes, 2}, {kErase, 3},  {kData, 4},
                          {kActuator, 6}, {kIdent, 0}, {kSpecial, 5}};
constexpr Offer kM797[] = {{kCodes, 1}, {kErase, 2},   {kData, 3},    {kActuator, 7},
                           {kIdent, 0}, {kSpecial, 4}, {kSpecial, 5}, {kSpecial, 6}};

struct MenuOffers {
  u32 menuId;
  std::span<const Offer> offers;
};

constexpr MenuOffers kMenus[] = {
    {VAZ_MENU_GM_ISFI, kIsfi},           {VAZ_MENU_GM_EFI, kEfi}, {VAZ_MENU_M154, kM154},
    {VAZ_MENU_M154_FAMILY, kM154Family}, {VAZ_MENU_M70, kM70},    {VAZ_MENU_M797, kM797},
};

}  // namespace

extern "C" {

VAZ_EXPORT int FuncConfig(int *entries, u32 menuId) {
  int count = 0;
  for (const MenuOffers &menu : kMenus) {
    if (menu.menuId != menuId) continue;
    for (const Offer &o : menu.offers)
      if (iFuncConfig_vaz & o.mask) entries[count++] = o.entry;
  }
  return count;
}

}  // extern "C"
