// Trouble-code decoders: turn the ECU's code answer in the session record into
// the list of code text IDs. Two engines serve all eight routines: one for
// bit-mapped answers, one for the count-and-records answer of KWP2000 0x18.
#include "formulas/dtc_decoders.h"
#include "core/session_record.h"
#include "formulas/dtc_record.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace {

constexpr u32 kNoStatus = 0xFFFFFFFFu;

// Move the first answer frame to the buffer start, dropping the interface's
// count and length bytes and a long-form format byte, so that the service
// identifier stands at byte 3 in both forms.
void shift_first_frame(u8 *a) {
  const std::size_t from = a[2] == KWP_FORMAT_LONG ? 3 : 2;
  const std::size_t length = std::min<std::size_t>(a[1], VAZ_ANS_SIZE - from);
  std::memmove(a, a + from, length);
}

bool add_code(u32 id) {
  if (vaz::dtc_count() >= VAZ_DTC_MAX) return false;
  vaz::dtc_codes()[vaz::dtc_count()] = id;
  vaz::dtc_states()[vaz::dtc_count()] = kNoStatus;
  ++vaz::dtc_count();
  return true;
}

// KWP2000 0x18 answer moved to the buffer start: A[4] the count, then three
// bytes per code (high, low, status).
constexpr std::size_t kCountPos = 4;
constexpr std::size_t kFirstRecord = 5;
static_assert(kFirstRecord + 3 * VAZ_DTC_MAX <= VAZ_ANS_SIZE, "32 records fit in the answer buffer");

}  // namespace

int vaz::formulas::decode_bits(const BitMap &map, CodeKnown known) {
  assert(inside_answer(map));
  u8 *a = vaz::answer_buffer();
  if (map.shifted) shift_first_frame(a);
  vaz::dtc_count() = 0;
  for (unsigned k = map.first; k <= map.last; ++k) {
    const u8 bits = a[k + map.offset];
    for (unsigned mask = 1; mask <= 0x80; mask <<= 1) {
      if ((bits & mask) == 0) continue;
      const u32 id = vaz::dtc_base() + k * 256u + mask;
      // An unknown code also hides the higher bits of its byte.
      if (!known(id)) break;
      // The list is full: the first 32 codes are kept, the rest dropped.
      if (!add_code(id)) return vaz::dtc_count();
    }
  }
  return vaz::dtc_count();
}

int vaz::formulas::decode_records() {
  const u8 *a = vaz::answer_buffer();
  const unsigned count = std::min<unsigned>(a[kCountPos], VAZ_DTC_MAX);
  vaz::dtc_count() = 0;
  for (unsigned i = 0; i < count; ++i) {
    const u8 *record = a + kFirstRecord + 3 * i;
    add_code(vaz::dtc_base() + record[0] * 256u + record[1]);
  }
  return vaz::dtc_count();
}
