// Shared helpers of the value-conversion tests: answers laid out as the
// vehicle interface leaves them, a fake text library in the host slot, and a
// runner that shows whether a formula routine wrote its output.
#ifndef VAZ_TEST_FORMULA_TEST_SUPPORT_H
#define VAZ_TEST_FORMULA_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "vaz_old.h"

namespace vaz::test {

using CalcFn = int (*)(u16, u8 *, char *, u8, u16);
using Bytes = std::vector<std::pair<int, int>>;  // (position in D, value)
using AnswerBuf = std::array<u8, VAZ_ANS_SIZE>;

// The text a routine leaves in place when it writes nothing.
inline constexpr const char *kUntouched = "untouched";

// A one-frame answer whose data copy D has the given bytes; a long-form
// answer carries the 0x80 format byte and a separate length byte.
AnswerBuf answer_with(const Bytes &d, bool longForm = false);

// The text `fn` writes for `item`, or kUntouched when it writes nothing.
std::string run_item(CalcFn fn, u16 item, const Bytes &d, bool longForm = false);

// What the fake text library returns for a text ID.
std::string text(u32 id);

// The fake text library itself: "T" and the text ID in hex.
int fake_text(u32 id, char *out, int size);

// One row of a case table.
struct Case {
  u16 item;
  Bytes d;
  std::string expected;
};

// Puts the fake text library into the host slot for the test's duration.
class TextLibTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  void expect_cases(CalcFn fn, const std::vector<Case> &cases);
};

}  // namespace vaz::test

#endif
