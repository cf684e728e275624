// Helpers of the value-conversion tests.
#include "formula_test_support.h"

#include <cstdio>
#include <cstring>

namespace vaz::test {

int fake_text(u32 id, char *out, int size) { return std::snprintf(out, static_cast<std::size_t>(size), "T%08X", id); }

AnswerBuf answer_with(const Bytes &d, bool longForm) {
  AnswerBuf a{};
  a[0] = 1;
  a[1] = 0x60;
  a[2] = longForm ? 0x80 : 0x8A;
  const int start = longForm ? 3 : 2;
  for (const auto &[pos, value] : d) a[static_cast<std::size_t>(start + pos)] = static_cast<u8>(value);
  return a;
}

std::string run_item(CalcFn fn, u16 item, const Bytes &d, bool longForm) {
  AnswerBuf a = answer_with(d, longForm);
  char out[256];
  std::snprintf(out, sizeof out, "%s", kUntouched);
  fn(item, a.data(), out, 0, 0);
  return out;
}

std::string text(u32 id) {
  char buf[20];
  fake_text(id, buf, sizeof buf);
  return buf;
}

void TextLibTest::SetUp() { GetTextFromTextLib = fake_text; }

void TextLibTest::TearDown() { GetTextFromTextLib = nullptr; }

void TextLibTest::expect_cases(CalcFn fn, const std::vector<Case> &cases) {
  for (const Case &c : cases) { EXPECT_EQ(run_item(fn, c.item, c.d), c.expected) << "item " << c.item; }
}

}  // namespace vaz::test
