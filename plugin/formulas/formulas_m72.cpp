// Data formulas of the Bosch M7.2: the data list its menu installs, its
// converter-voltage list, and the older exported list that repeats the
// M1.5.4N rows.
#include "formulas/formula_engine.h"
#include "formulas/formulas_m154.h"

namespace vaz::formula {
namespace {

using enum Arith;
using enum Fmt;

constexpr Pair kPowerUp{0xFE552095, 0xFE552094};

constexpr Row capped(u8 hi, u8 lo, u32 limit, Calc inside) {
  return wordOutside(hi, lo, limit, calc(Int, Dec, konst(0)), inside);
}

// 16-bit values of this list are stored high byte first.
constexpr std::array<Row, 39> kData{
    value(calc(Trunc, Dec, byteAt(13), add(-40.0))),
    // 14.7 as the firmware stores it, in single precision.
    value(calc(Double, F2, byteAt(14), add(128.0), mul(static_cast<double>(14.7f)), mul(kPerByteStep))),
    value(calc(Int, Dec, byteAt(15))),
    value(calc(Trunc, Dec, byteAt(16), mul(40.0))),
    value(calc(Trunc, Dec, byteAt(17), mul(10.0))),
    value(calc(Int, Dec, byteAt(18))),
    value(calc(Int, Dec, byteAt(19))),
    value(calc(Single, F4, byteAt(20), add(128), mul(kPerByteStep))),
    signBranch(21, calc(Double, F1, byteAt(21), add(-128), mul(0.5), add(-64.0)),
               calc(DoubleSingle, F1, byteAt(21), mul(0.5))),
    /* 10 */ value(calc(Int, Dec, byteAt(22))),
    value(calc(DoubleSingle, F1, byteAt(23), div(20.0), add(5.2))),
    value(calc(Trunc, Dec, byteAt(24), mul(10.0))),
    value(calc(DoubleSingle, F2, byteAt(25), mul(1.25), mul(kPerByteStep))),
    value(calc(Int, Hex, byteAt(26))),
    value(calc(Int, F2, word(27, 28), div(125))),
    value(calc(Int, F1, word(29, 30), div(10))),
    value(calc(Int, F1, word(31, 32), div(6))),
    capped(33, 34, 49951, calc(Int, F2, word(33, 34), div(50))),
    capped(35, 36, 12673, calc(Int, F2, word(35, 36), shr(7))),
    /* 20 */ value(calc(Int, Hex, word(37, 38))),
    value(calc(Trunc, Dec, byteAt(39), add(-40.0))),
    state(7, 0, kYesNo),
    state(7, 1, kYesNo),
    state(7, 2, kYesNo),
    state(7, 3, kYesNo),
    state(7, 4, kYesNo),
    state(7, 5, kYesNo),
    state(7, 6, kYesNo),
    state(7, 7, kYesNo),
    /* 30 */ state(8, 0, kYesNo),
    state(8, 1, kYesNo),
    state(8, 2, kYesNo),
    state(8, 3, kYesNo),
    state(8, 4, kYesNo),
    state(8, 5, kYesNo),
    state(8, 6, kPowerUp),
    state(8, 7, kPowerUp),
    state(24, 0, kYesNo),
    state(24, 1, kYesNo),
};

constexpr Row adc(u8 pos) { return value(calc(DoubleSingle, F2, byteAt(pos), mul(5.0), mul(kPerByteStep))); }
constexpr std::array<Row, 7> kAdc{adc(5), adc(6), adc(7), adc(8), adc(9), adc(10), adc(15)};

static_assert(complete(kData) && complete(kAdc));

// The older list: the 37 M1.5.4N rows, then item 1 once more.
constexpr u16 kOlderRepeat = 38;

}  // namespace
}  // namespace vaz::formula

using namespace vaz::formula;

extern "C" {

VAZ_EXPORT int CalCd_BOSCH_M72_ENG_1(u16 item, u8 *answer, char *out, u8, u16) {
  return run_list(kData, OutOfRange::KeepOutput, item, answer, out);
}

VAZ_EXPORT int CalCd_BOSCH_M72_ADC_ENG(u16 item, u8 *answer, char *out, u8, u16) {
  return run_list(kAdc, OutOfRange::KeepOutput, item, answer, out);
}

VAZ_EXPORT int CalCd_BOSCH_M72_ENG(u16 item, u8 *answer, char *out, u8, u16) {
  return run_list(m154n_rows(), OutOfRange::KeepOutput, item == kOlderRepeat ? 1 : item, answer, out);
}

}  // extern "C"
