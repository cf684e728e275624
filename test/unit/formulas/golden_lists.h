// The formula routines the golden file covers, and how one golden answer is
// laid out and run: shared by the golden test and the program that makes the
// file, so that both read an answer the same way.
#ifndef VAZ_TEST_GOLDEN_LISTS_H
#define VAZ_TEST_GOLDEN_LISTS_H

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "formula_test_support.h"

namespace vaz::test {

struct GoldenList {
  const char *ecu;
  const char *name;  // the exported routine
  CalcFn fn;
  u16 items;
  // 'D': byte positions in the routine's data copy behind a short-form
  // header (Bosch); 'A': positions in the answer buffer itself (GM).
  char where;
  bool ident;    // identification fields rather than data formulas
  u32 nameHead;  // head record of the item names in DSNAMES.TXT, 0 for none
};

std::span<const GoldenList> golden_lists();
const GoldenList *find_golden_list(std::string_view name);

using GoldenBytes = std::vector<std::pair<int, u8>>;

// The text the routine writes for `item` given only `bytes` set (every
// other byte 0), with state texts shown as T<text ID>; kUntouched when it
// writes nothing.
std::string run_golden(const GoldenList &list, u16 item, const GoldenBytes &bytes);

// "D21=80 D22=01" and back.
std::string format_bytes(char where, const GoldenBytes &bytes);

}  // namespace vaz::test

#endif
