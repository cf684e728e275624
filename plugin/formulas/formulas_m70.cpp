// Data formulas of the Bosch M7.0 ECUs: the E2 and E3 data lists and their
// shared converter-voltage list. 16-bit values of this family are stored high
// byte first.
#include "formulas/formula_engine.h"

namespace vaz::formula {
namespace {

using enum Arith;
using enum Fmt;

constexpr Pair kActive{0xFE552011, 0xFE552096};
constexpr Pair kPresent{0xFE552097, 0xFE552098};

constexpr std::array<Row, 34> kE2{
    value(calc(Int, Dec, byteAt(5))),
    value(calc(DoubleSingle, F3, byteAt(12), mul(5.0), mul(kPerByteStep))),
    value(calc(DoubleSingle, F1, byteAt(13), div(20.0))),
    value(calc(DoubleSingle, F1, byteAt(14), div(10.6))),
    value(calc(Double, F1, byteAt(15), add(-63.0), mul(0.75))),
    value(calc(Double, F1, byteAt(16), subFrom(144), mul(0.75))),
    value(calc(DoubleSingle, F1, byteAt(17), mul(0.75))),
    value(calc(Int, F1, byteAt(18), mul(100), div(256))),
    value(calc(DoubleSingle, F1, byteAt(19), div(0.8))),
    value(calc(Trunc, Dec, byteAt(20), mul(40.0))),
    value(calc(DoubleSingle, F2, word(21, 22), div(41.7))),
    value(calc(Int, Dec, byteAt(23))),
    value(calc(Trunc, Dec, byteAt(24), mul(10.0))),
    value(calc(Int, Dec, byteAt(25))),
    value(calc(Trunc, Dec, byteAt(26), add(-128.0))),
    value(calc(Int, Dec, byteAt(27), mul(10))),
    value(calc(DoubleSingle, F2, byteAt(28), mul(0.25))),
    value(calc(DoubleSingle, F2, byteAt(29), mul(0.25))),
    value(calc(DoubleSingle, F1, byteAt(30), mul(4.431))),
    value(calc(Int, Dec, byteAt(31))),
    value(calc(DoubleSingle, F2, byteAt(32), mul(4.0), mul(kPerByteStep))),
    value(calc(Int, Dec, byteAt(33))),
    value(calc(Single, F1, byteAt(34), mul(100.0), mul(kPerByteStep))),
    state(37, 0, kOnOff),
    state(37, 1, kOnOff),
    state(37, 2, kOnOff),
    state(37, 3, kOnOff),
    state(37, 5, kOnOff),
    state(37, 7, kOnOff),
    state(38, 6, kOnOff),
    state(39, 0, kOnOff),
    state(42, 2, kOnOff),
    state(42, 5, kOnOff),
    state(42, 6, kOnOff),
};

constexpr Row adc(double c) { return value(calc(DoubleSingle, F2, byteAt(4), mul(c), mul(kPerByteStep))); }
constexpr std::array<Row, 6> kAdc{adc(5.0), adc(5.0), adc(5.0), adc(24.31), adc(1.15), adc(5.0)};

// E3 items 1 .. 23: the E2 rows with six of them replaced.
constexpr std::array<Row, 23> e3_head() {
  auto rows = slice<23>(kE2, 0);
  rows[7] = value(calc(DoubleSingle, F1, byteAt(18), mul(100.0), mul(kPerByteStep)));
  rows[13] = value(calc(Trunc, Dec, byteAt(25), add(-128.0)));
  rows[14] = value(calc(Trunc, Dec, byteAt(26), add(-128.0)));
  rows[15] = value(calc(Trunc, Dec, byteAt(27), mul(10.0)));
  rows[19] = value(calc(DoubleSingle, F3, byteAt(31), mul(2), mul(kPerByteStep)));
  rows[20] = signBranch(32, calc(DoubleSingle, F6, byteAt(32), add(-128), mul(0.016), add(-2.032)),
                        calc(DoubleSingle, F6, byteAt(32), mul(0.016)));
  rows[21] = value(calc(DoubleSingle, F6, byteAt(33), mul(2), mul(kPerByteStep)));
  return rows;
}

constexpr Row scaled(u8 pos, double c, Fmt f) { return value(calc(DoubleSingle, f, byteAt(pos), mul(c))); }
constexpr Row coolant(u8 pos) { return value(calc(Double, F2, byteAt(pos), subFrom(144), mul(0.75))); }
constexpr Row offsetVolts(u8 pos) { return value(calc(DoubleSingle, F2, byteAt(pos), div(100.0), add(-1.28))); }

constexpr std::array<Row, 72> kE3Tail{
    /* 24 */ scaled(38, 0.0045, F3),
    value(calc(DoubleSingle, F3, byteAt(39), mul(0.1), mul(kPerByteStep))),
    value(calc(DoubleSingle, F1, byteAt(45), mul(0.1), addByte(44, 25.6))),
    value(calc(DoubleSingle, F2, byteAt(46), mul(192), addByte(47, 0.75))),
    value(calc(DoubleSingle, F2, byteAt(48), add(-48.0))),
    value(calc(DoubleSingle, F2, byteAt(49), add(-48.0))),
    /* 30 */ value(calc(DoubleSingle, F3, byteAt(50), add(-128.0), mul(0.05))),
    scaled(51, 0.05, F2),
    value(calc(DoubleSingle, F3, byteAt(52), mul(2), mul(kPerByteStep))),
    scaled(53, 0.48, F2),
    scaled(54, 0.48, F2),
    value(calc(Int, Dec, word(55, 56))),
    value(calc(Int, Dec, word(57, 58))),
    scaled(59, 2.441, F3),
    scaled(60, 2.441, F3),
    scaled(61, 2.441, F3),
    /* 40 */ scaled(62, 2.441, F3),
    coolant(63),
    coolant(64),
    coolant(65),
    coolant(66),
    value(calc(Double, F3, byteAt(67), add(-128), addByte(68, 1), mul(0.004))),
    value(calc(DoubleSingle, F3, byteAt(70), mul(0.016), mul(kPerByteStep), addByte(69, 4.0 * kPerByteStep))),
    scaled(71, 0.05, F2),
    signBranch(72, calc(DoubleSingle, F3, byteAt(72), add(-128), mul(0.256), add(-32.768), addByte(73, 0.001)),
               calc(DoubleSingle, F3, byteAt(73), mul(0.001), addByte(72, 0.256))),
    scaled(75, 0.455, F3),
    /* 50 */ scaled(76, 0.455, F3),
    value(calc(DoubleSingle, F6, byteAt(77), mul(2), mul(kPerByteStep))),
    signBranch(79, calc(DoubleSingle, F6, byteAt(79), add(-128), mul(0.016), add(-2.032), addByte(80, 6.3e-05)),
               calc(DoubleSingle, F6, byteAt(80), mul(6.3e-05), addByte(79, 0.016))),
    offsetVolts(81),
    offsetVolts(82),
    offsetVolts(83),
    signBranch(84, calc(DoubleSingle, F2, byteAt(84), add(-128), mul(0.01), add(-1.28)),
               calc(DoubleSingle, F2, byteAt(84), mul(0.01))),
    value(calc(DoubleSingle, F2, byteAt(85), div(100.0))),
    value(calc(Int, Dec, byteAt(86))),
    state(35, 0, kYesNo),
    /* 60 */ state(35, 1, kYesNo),
    state(35, 2, kOnOff),
    value(calc(Int, Dec, byteAt(35), shr(3), band(1))),
    state(35, 4, kYesNo),
    state(35, 5, kYesNo),
    state(35, 7, kOnOff),
    state(36, 0, kOnOff),
    state(36, 1, kOnOff),
    state(36, 2, kOnOff),
    state(36, 3, kOnOff),
    /* 70 */ state(36, 4, kOnOff),
    state(36, 5, kYesNo),
    state(36, 6, Pair{0xFE552003, 0xFE552002}),
    state(37, 0, kYesNo),
    state(37, 1, kYesNo),
    state(37, 2, kYesNo),
    state(37, 3, Pair{0xFE552004, 0xFE552003}),
    state(37, 4, kOnOff),
    state(37, 6, kActive),
    state(37, 7, kActive),
    /* 80 */ state(87, 0, kOnOff),
    state(87, 1, kOnOff),
    state(87, 2, kYesNo),
    state(87, 3, kYesNo),
    state(87, 4, kYesNo),
    state(87, 5, kYesNo),
    state(87, 6, kOnOff),
    state(87, 7, kOnOff),
    state(40, 0, kPresent),
    state(40, 2, kPresent),
    /* 90 */ state(40, 5, kPresent),
    state(40, 6, kPresent),
    state(74, 0, kYesNo),
    state(74, 1, kYesNo),
    state(74, 2, kYesNo),
    state(74, 3, kYesNo),
};

constexpr auto kE3 = join(e3_head(), kE3Tail);
static_assert(kE3.size() == 95 && complete(kE3) && complete(kE2) && complete(kAdc));

}  // namespace
}  // namespace vaz::formula

using namespace vaz::formula;

extern "C" {

VAZ_EXPORT int CalCd_BOSCH_M70_ENG(u16 item, u8 *answer, char *out, u8, u16) {
  return run_list(kE2, OutOfRange::KeepOutput, item, answer, out);
}

VAZ_EXPORT int CalCd_BOSCHM70_ADC_ENG(u16 item, u8 *answer, char *out, u8, u16) {
  return run_list(kAdc, OutOfRange::KeepOutput, item, answer, out);
}

VAZ_EXPORT int CalCd_BOSCH_M70_E3_ENG(u16 item, u8 *answer, char *out, u8, u16) {
  return run_list(kE3, OutOfRange::Unknown, item, answer, out);
}

}  // extern "C"
