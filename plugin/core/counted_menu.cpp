// Shows a counted menu record and reports the chosen entry (see counted_menu.h).
#include "core/counted_menu.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <numeric>

#include "core/host_call.h"

namespace {
constexpr int kCountText = 16;
constexpr int kMostEntries = 256;  // the count is one byte
}  // namespace

int vaz::select_counted_menu(u32 menuId, int preselect, const MenuRules &rules) {
  std::array<char, kCountText> text{};
  call_or(GetTextFromTextLib, 0, menuId, text.data(), kCountText);
  text.back() = '\0';
  int count = std::min(std::atoi(text.data()) & 0xFF, std::min(rules.maxEntries, kMostEntries));

  std::array<int, kMostEntries> entries{};
  std::iota(entries.begin(), entries.end(), 0);
  if (rules.offer) count = rules.offer(entries.data(), menuId, count);
  if (count == 0 && rules.emptyIsBack) return VAZ_SELECT_BACK;

  for (int i = 0; i < count; ++i)
    if (call_or(AddMenuTextID, -1, menuId + 1 + static_cast<u32>(entries[i])) != 0) return VAZ_SELECT_REFUSED;
  const int pos = call_or(ShowMenuGetSelectedItem, VAZ_SELECT_BACK, static_cast<short>(preselect), 0, 0);
  // Any negative answer of the menu is Back; VAZ_SELECT_REFUSED stays reserved
  // for a refused entry.
  if (pos < 0) return VAZ_SELECT_BACK;
  if (pos >= count) return rules.outOfRangeIsBack ? VAZ_SELECT_BACK : pos;
  return entries[pos];
}
