// Data formulas of the Bosch M7.9.7 ECUs: the E2 and E3 data lists, and the
// converter and immobiliser lists both variants share. Pairs of bytes are high
// byte first and most are joined with the factor 255 (the "v" readings).
//
// Readings that can be negative (a set top bit of the high byte) are taken as
// two's complement: a signed byte or word, and for 255-joined readings minus
// the 255-join of the word's magnitude, so a negative reading prints as the
// mirror of the positive one.
#include "formulas/formula_engine.h"

namespace vaz::formula {
namespace {

using enum Arith;
using enum Fmt;

constexpr Row sv(double scale, Fmt f, Step load) { return value(calc(DoubleSingle, f, load, mul(scale))); }

// A high-byte-first reading with a sign: the positive scale and the scale the
// firmware applies to negative readings.
constexpr Row signedV(u8 hi, u8 lo, double scale, double negScale, Fmt f) {
  return signBranch(hi, calc(DoubleSingle, f, signedV255(hi, lo), mul(negScale)),
                    calc(DoubleSingle, f, v255(hi, lo), mul(scale)));
}

constexpr Row integer(Fmt f, Step load) { return value(calc(Int, f, load)); }
constexpr Row zero3() { return value(calc(Int, F3, konst(0))); }
constexpr Row ratio(u8 pos) { return value(calc(DoubleSingle, F3, byteAt(pos), div(255.0), div(0.75), add(-0.2))); }

// Items 1 .. 39 as the E2 list has them; the E3 list changes item 10 only.
constexpr std::array<Row, 39> kCommon{
    integer(Dec, byteAt(5)),
    value(calc(DoubleSingle, F2, byteAt(6), mul(0.75), add(-48.0))),
    value(calc(DoubleSingle, F2, byteAt(7), mul(0.75), add(-48.0))),
    value(calc(DoubleSingle, F2, byteAt(8), mul(0.75), add(-48.0))),
    value(calc(DoubleSingle, F1, byteAt(9), div(13.5))),
    sv(1.25, F1, byteAt(10)),
    sv(0.392, F1, byteAt(11)),
    value(calc(Int, Dec, byteAt(12), mul(40))),
    value(calc(Int, F1, v255(13, 14), div(10))),
    /* 10 */
    signBranch(15, calc(DoubleSingle, F1, byteAt(15), add(-128), mul(0.75), add(-128.0)),
               calc(DoubleSingle, F1, byteAt(15), mul(0.75))),
    value(calc(DoubleSingle, F1, byteAt(16), mul(0.75), subFrom(0.0))),
    sv(0.0234, F1, v255(17, 18)),
    sv(0.75, F1, byteAt(19)),
    value(calc(Int, F2, byteAt(20), shr(6))),
    value(calc(Int, F2, v255(21, 22), div(75))),
    value(calc(Int, Dec, byteAt(23), mul(10))),
    integer(Dec, byteAt(24)),
    value(calc(Int, F1, v255(25, 26), div(640))),
    signBranch(27, calc(DoubleSingle, F2, signedWord(27, 28), mul(0.00305)),
               calc(DoubleSingle, F2, word(27, 28), mul(0.00305))),
    /* 20 */ ratio(29),
    value(calc(Int, F3, v255(30, 31), mul(2), div(65535))),
    zero3(),
    sv(0.392, F1, byteAt(34)),
    sv(0.0195, F1, v255(35, 36)),
    sv(0.576, F2, v255(37, 38)),
    signedV(39, 40, 0.576, 0.576, F1),
    integer(Dec, v255(41, 42)),
    integer(Dec, v255(43, 44)),
    integer(Dec, v255(45, 46)),
    /* 30 */ integer(Dec, v255(47, 48)),
    integer(Dec, v255(49, 50)),
    value(calc(Int, Dec, v255(51, 52), mul(6))),
    integer(Hex, v255(53, 54)),
    sv(0.215, F2, v255(55, 56)),
    integer(Hex, byteAt(57)),
    signedV(58, 59, 0.00305, 0.0031, F2),
    signedV(60, 61, 0.00305, 0.0031, F2),
    value(calc(Int, F2, v255(62, 63), mul(2), div(65535))),
    signedV(64, 65, 0.0469, 0.0469, F1),
};

constexpr std::array<Row, 16> kFlags{
    state(67, 0, kYesNo),
    state(67, 1, kYesNo),
    state(67, 2, kYesNo),
    state(67, 3, kOnOff),
    state(67, 4, kOnOff),
    state(67, 5, kOnOff),
    state(67, 6, kOnOff),
    state(67, 7, kOnOff),
    state(68, 0, kYesNo),
    state(68, 1, Pair{0xFE552099, 0xFE55209A}),
    state(68, 2, Pair{0xFE55209B, 0xFE55209C}),
    state(68, 3, kYesNo),
    state(68, 4, kOnOff),
    state(68, 5, kYesNo),
    state(68, 6, kOnOff),
    state(68, 7, kOnOff),
};

constexpr auto kE2 = join(join(kCommon, kFlags), std::array<Row, 1>{state(69, 0, kYesNo)});

constexpr std::array<Row, 39> e3_common() {
  auto rows = kCommon;
  rows[9] = signBranch(15, calc(DoubleSingle, F1, byteAt(15), mul(0.75), add(-128.0)),
                       calc(DoubleSingle, F1, byteAt(15), mul(0.75)));
  return rows;
}

constexpr std::array<Row, 6> kE3Values{
    value(calc(Int, Dec, byteAt(70), mul(10))),
    ratio(71),
    sv(0.04, F2, byteAt(72)),
    signBranch(73, calc(Int, F2, signedByte(73), div(100)), calc(Int, F2, byteAt(73), div(100))),
    zero3(),
    zero3(),
};

constexpr std::array<Row, 4> kE3Tail{state(69, 0, kYesNo), state(69, 1, kYesNo), state(69, 3, kYesNo),
                                     state(69, 6, kYesNo)};

constexpr auto kE3 = join(join(join(e3_common(), kE3Values), kFlags), kE3Tail);

constexpr Row capped(u8 hi, u8 lo, u32 limit, Calc inside) {
  return wordOutside(hi, lo, limit, calc(Int, Dec, konst(0)), inside);
}

constexpr std::array<Row, 10> kAdc{
    capped(5, 6, 56762, calc(DoubleSingle, F2, word(5, 6), mul(0.0176))),
    value(calc(Int, F2, byteAt(7), mul(5), shr(8))),
    sv(0.00488, F2, v255(8, 9)),
    value(calc(Int, F2, v255(10, 11), div(13107))),
    sv(0.00488, F2, v255(12, 13)),
    value(calc(Int, F2, byteAt(14), mul(5), shr(8))),
    sv(0.00488, F2, v255(15, 16)),
    capped(17, 18, 50000, calc(Int, Dec, word(17, 18), mul(2))),
    // A fixed reading, kept as the firmware's single-precision constant.
    value(calc(DoubleSingle, F2, konst(-6.27))),
    capped(22, 23, 50000, calc(Int, Dec, word(22, 23), mul(2))),
};

constexpr std::array<Row, 7> kImmo{
    integer(Hex, word(5, 6)),
    state(7, 0, Pair{0xFE55209E, 0xFE55209D}),
    state(7, 1, Pair{0xFE552058, 0xFE552056}),
    state(7, 2, Pair{0xFE55200B, 0xFE55200C}),
    state(7, 3, Pair{0xFE55200B, 0xFE55200C}),
    state(7, 4, Pair{0xFE552004, 0xFE552003}),
    state(7, 5, Pair{0xFE552004, 0xFE552003}),
};

static_assert(kE2.size() == 56 && kE3.size() == 65);
static_assert(complete(kE2) && complete(kE3) && complete(kAdc) && complete(kImmo));

}  // namespace
}  // namespace vaz::formula

using namespace vaz::formula;

extern "C" {

VAZ_EXPORT int CalCd_BOSCH_M797_E2_ENG(u16 item, u8 *answer, char *out, u8, u16) {
  return run_list(kE2, OutOfRange::KeepOutput, item, answer, out);
}

VAZ_EXPORT int CalCd_BOSCH_M797_E3_ENG(u16 item, u8 *answer, char *out, u8, u16) {
  return run_list(kE3, OutOfRange::KeepOutput, item, answer, out);
}

VAZ_EXPORT int CalCd_BOSCH_M797_E2_E3_ADC_ENG(u16 item, u8 *answer, char *out, u8, u16) {
  return run_list(kAdc, OutOfRange::KeepOutput, item, answer, out);
}

VAZ_EXPORT int CalCd_BOSCH_M797_E2_E3_IMM_ENG(u16 item, u8 *answer, char *out, u8, u16) {
  return run_list(kImmo, OutOfRange::KeepOutput, item, answer, out);
}

}  // extern "C"
