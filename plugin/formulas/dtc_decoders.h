// The two trouble-code decoding engines and the answer layouts they read. A
// bit-mapped answer lists only codes the host's text file knows; whether it
// does is asked through the function the caller passes in.
#ifndef VAZ_FORMULAS_DTC_DECODERS_H
#define VAZ_FORMULAS_DTC_DECODERS_H

#include "vaz_old.h"

namespace vaz::formulas {

// True when the trouble-code text ID is known.
using CodeKnown = bool (*)(u32 textId);

// One bit-mapped answer: the loop positions k, where byte k + offset holds the
// bits of position k, and whether the answer must first be moved to the
// buffer start.
struct BitMap {
  u8 first;
  u8 last;
  u8 offset;
  bool shifted;
};

inline constexpr BitMap kGmIsfiCurrent{5, 10, 0, false};
inline constexpr BitMap kGmIsfiStored{5, 10, 7, false};
inline constexpr BitMap kGmEfi{5, 7, 0, false};
inline constexpr BitMap kM154Current{9, 11, 0, true};
inline constexpr BitMap kM72Current{9, 12, 0, true};

// A map reads only bytes of the answer buffer, first to last.
constexpr bool inside_answer(const BitMap &m) { return m.first <= m.last && m.last + m.offset < VAZ_ANS_SIZE; }
static_assert(inside_answer(kGmIsfiCurrent) && inside_answer(kGmIsfiStored) && inside_answer(kGmEfi) &&
              inside_answer(kM154Current) && inside_answer(kM72Current));

// Both fill the record's code table from the answer buffer and return the code count.
int decode_bits(const BitMap &map, CodeKnown known);
int decode_records();

}  // namespace vaz::formulas

#endif
