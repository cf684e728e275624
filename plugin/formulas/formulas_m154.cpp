// Data formulas of the Bosch M1.5.4 family: the M1.5.4 (and add-on) data list,
// the M1.5.4N data list and the two converter-voltage lists. 16-bit values of
// this family are stored low byte first.
#include "formulas/formulas_m154.h"

namespace vaz::formula {
namespace {

using enum Arith;
using enum Fmt;

constexpr Pair kPowerUp{0xFE552095, 0xFE552094};

// Items 19 .. 34 of both data lists: the flag bytes D[7] and D[8].
constexpr std::array<Row, 16> kFlagRows{
    state(7, 0, kYesNo), state(7, 1, kYesNo), state(7, 2, kOnOff),   state(7, 3, kOnOff),
    state(7, 4, kOnOff), state(7, 5, kYesNo), state(7, 6, kOnOff),   state(7, 7, kOnOff),
    state(8, 0, kYesNo), state(8, 1, kYesNo), state(8, 2, kYesNo),   state(8, 3, kYesNo),
    state(8, 4, kYesNo), state(8, 5, kYesNo), state(8, 6, kPowerUp), state(8, 7, kPowerUp),
};

// Rows shared by both data lists.
constexpr Row kMixture = value(calc(DoubleSingle, F4, byteAt(20), mul(0.0039), add(0.5)));
constexpr Row kAdvance = signBranch(21, calc(Double, F1, byteAt(21), add(-128), mul(0.5), add(-64.0)),
                                    calc(DoubleSingle, F1, byteAt(21), mul(0.5)));
constexpr Row kVoltage = value(calc(DoubleSingle, F1, byteAt(23), div(20.0), add(5.2)));

constexpr std::array<Row, 18> kM154Values{
    value(calc(Int, Dec, byteAt(13), add(-40))),
    signBranch(14, calc(Double, F4, byteAt(14), add(-128), mul(0.0039), add(-0.5)),
               calc(DoubleSingle, F4, byteAt(14), mul(0.0039))),
    value(calc(Int, Dec, byteAt(15))),
    value(calc(Int, Dec, byteAt(16), mul(40))),
    value(calc(Int, Dec, byteAt(17), mul(10))),
    value(calc(Int, Dec, byteAt(18))),
    value(calc(Int, Dec, byteAt(19))),
    kMixture,
    kAdvance,
    value(calc(Int, Dec, byteAt(22))),
    kVoltage,
    value(calc(Int, Dec, byteAt(24), mul(10))),
    value(calc(Single, F2, word(26, 25), div(125))),
    value(calc(Single, F1, word(28, 27), div(10))),
    value(calc(Trunc, Dec, byteAt(30), mul(43.0), addByte(29, 43.0 * kPerByteStep))),
    byteAbove(32, 195, calc(Single, F2, konst(0)), calc(Single, F2, word(32, 31), div(50))),
    byteAbove(34, 49, calc(DoubleSingle, F2, konst(0)),
              calc(DoubleSingle, F2, byteAt(34), mul(2), addByte(33, 2 * kPerByteStep))),
    value(calc(Int, Hex, word(36, 35))),
};

constexpr std::array<Row, 18> kM154NValues{
    value(calc(Trunc, Dec, byteAt(13), add(-40.0))),
    // 14.7 as the firmware stores it, in single precision.
    value(calc(Double, F2, byteAt(14), add(128.0), mul(static_cast<double>(14.7f)), mul(kPerByteStep))),
    value(calc(Int, Dec, byteAt(15))),
    value(calc(Trunc, Dec, byteAt(16), mul(40.0))),
    value(calc(Trunc, Dec, byteAt(17), mul(10.0))),
    value(calc(Int, Dec, byteAt(18))),
    value(calc(Int, Dec, byteAt(19))),
    kMixture,
    kAdvance,
    value(calc(Int, Dec, byteAt(22))),
    kVoltage,
    value(calc(Trunc, Dec, byteAt(24), mul(10.0))),
    value(calc(DoubleSingle, F2, byteAt(28), mul(2.05), addByte(27, 0.008))),
    value(calc(DoubleSingle, F1, byteAt(30), mul(25.6), addByte(29, 0.1))),
    value(calc(Trunc, Dec, byteAt(32), mul(43.0), addByte(31, 43.0 * kPerByteStep))),
    byteAbove(34, 195, calc(Single, F2, konst(0)), calc(Single, F2, word(34, 33), div(50))),
    byteAbove(36, 49, calc(DoubleSingle, F2, konst(0)),
              calc(DoubleSingle, F2, byteAt(36), mul(2), addByte(35, 2 * kPerByteStep))),
    value(calc(Trunc, Hex, word(38, 37))),
};

constexpr std::array<Row, 3> kM154NExtra{
    value(calc(DoubleSingle, F3, byteAt(25), mul(1.245), div(255.0))),
    state(26, 0, kYesNo),
    state(26, 1, kYesNo),
};

constexpr Row adc(u8 pos, Fmt f) { return value(calc(DoubleSingle, f, byteAt(pos), mul(5.0), mul(kPerByteStep))); }

constexpr auto kM154 = join(kM154Values, kFlagRows);

constexpr std::array<Row, 6> kM154NAdc{adc(5, F2), adc(6, F2), adc(7, F2), adc(8, F2), adc(9, F2), adc(10, F2)};
// The add-on list skips D[9].
constexpr std::array<Row, 5> kM154AddAdc{adc(6, F3), adc(7, F3), adc(8, F3), adc(10, F3), adc(11, F3)};

}  // namespace

constexpr auto kM154NRows = join(join(kM154NValues, kFlagRows), kM154NExtra);
static_assert(kM154.size() == 34 && kM154NRows.size() == 37);
static_assert(complete(kM154) && complete(kM154NRows) && complete(kM154NAdc) && complete(kM154AddAdc));

std::span<const Row> m154n_rows() { return kM154NRows; }

}  // namespace vaz::formula

using namespace vaz::formula;

extern "C" {

VAZ_EXPORT int CalCd_BOSCH_M154_ENG(u16 item, u8 *answer, char *out, u8, u16) {
  return run_list(kM154, OutOfRange::KeepOutput, item, answer, out);
}

VAZ_EXPORT int CalCd_BOSCH_M154N_ENG(u16 item, u8 *answer, char *out, u8, u16) {
  return run_list(kM154NRows, OutOfRange::KeepOutput, item, answer, out);
}

VAZ_EXPORT int CalCd_BOSCH_M154N_ADC_ENG(u16 item, u8 *answer, char *out, u8, u16) {
  return run_list(kM154NAdc, OutOfRange::KeepOutput, item, answer, out);
}

VAZ_EXPORT int CalCd_BOSCH_M154_ADD_ADC_ENG(u16 item, u8 *answer, char *out, u8, u16) {
  return run_list(kM154AddAdc, OutOfRange::KeepOutput, item, answer, out);
}

}  // extern "C"
