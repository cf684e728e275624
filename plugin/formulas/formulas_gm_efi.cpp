// Data formulas of the GM EFI ECU: the data list and the status list of the
// ALDL mode 1 answer. The rows read the answer buffer in place (A[3] is the
// first data byte) and 16-bit values are stored high byte first.
#include "formulas/formula_engine.h"

namespace vaz::formula {
namespace {

using enum Arith;
using enum Fmt;

constexpr Row plain(Step load) { return value(calc(Int, Dec, load)); }
constexpr Row temperature(u8 pos) { return value(calc(Trunc, Dec, byteAt(pos), mul(0.75), add(-40.0))); }
constexpr Row volts(u8 pos) { return value(calc(DoubleSingle, F2, byteAt(pos), mul(5.0), mul(kPerByteStep))); }
constexpr Row tenths(u8 pos) { return value(calc(DoubleSingle, F1, byteAt(pos), div(10.0))); }
// Per mille of the full 16-bit range, signed integer quotient.
constexpr Row perMille(u8 hi) {
  return value(calc(Int, Dec, word(hi, static_cast<u8>(hi + 1)), mul(1000), div(65535)));
}
constexpr Row perMilleReal(u8 hi) {
  return value(calc(Double, F1, word(hi, static_cast<u8>(hi + 1)), mul(1000.0), div(65535.0)));
}
constexpr Row pressure(u8 pos) { return value(calc(Trunc, Dec, byteAt(pos), mul(90.0), mul(kPerByteStep), add(10.4))); }

constexpr std::array<Row, 40> kEfi{
    plain(word(3, 4)),
    temperature(8),
    temperature(9),
    volts(10),
    value(calc(Int, Dec, byteAt(11), mul(100), div(256))),
    value(calc(Int, Dec, byteAt(12), mul(25))),
    perMille(13),
    value(calc(Trunc, Dec, byteAt(15), mul(1.6))),
    value(calc(Trunc, Dec, byteAt(17), mul(4.43))),  // A[16] is not shown
    plain(byteAt(18)),
    /* 11 */ value(calc(DoubleSingle, F1, byteAt(19), mul(100.0), mul(0.0078125))),
    value(calc(Int, Dec, byteAt(20), add(-128))),
    plain(byteAt(21)),
    value(calc(Trunc, Dec, byteAt(22), mul(100.0), mul(kPerByteStep), add(50.0))),
    plain(byteAt(23)),
    plain(byteAt(24)),
    value(calc(Trunc, Dec, byteAt(25), mul(25.0))),
    value(calc(Trunc, Dec, byteAt(26), mul(100.0), mul(kPerByteStep))),
    pressure(27),
    volts(28),
    /* 21 */ pressure(29),
    pressure(30),
    temperature(31),
    volts(32),
    tenths(33),
    value(calc(DoubleSingle, F1, byteAt(34), mul(90.0), mul(kPerByteStep), subFrom(66.0))),
    plain(byteAt(35)),
    plain(byteAt(36)),
    perMille(37),
    tenths(39),
    /* 31 */ plain(word(41, 42)),
    value(calc(Trunc, Dec, byteAt(43), mul(100.0), div(255.0))),
    plain(byteAt(44)),
    perMilleReal(45),
    perMilleReal(47),
    volts(49),
    plain(byteAt(50)),
    plain(byteAt(58)),
    value(calc(Trunc, Dec, byteAt(66), mul(90.0), mul(kPerByteStep))),
    plain(byteAt(67)),
};

// Every status item prints on / off.
constexpr Row flag(u8 pos, u8 bit) { return state(pos, bit, kOnOff); }

constexpr std::array<Row, 31> kEfiFlags{
    flag(51, 6),          flag(40, 1), flag(40, 4), flag(40, 5), flag(52, 0),
    flag(52, 1),          flag(52, 5), flag(52, 7), flag(54, 3), flag(55, 4),
    /* 11 */ flag(55, 5), flag(55, 6), flag(56, 1), flag(56, 4), flag(56, 6),
    flag(56, 7),          flag(57, 7), flag(58, 0), flag(60, 0), flag(60, 2),
    /* 21 */ flag(60, 6), flag(60, 7), flag(61, 4), flag(61, 7), flag(62, 0),
    flag(62, 3),          flag(62, 7), flag(63, 1), flag(63, 5), flag(64, 2),
    /* 31 */ flag(64, 4),
};

static_assert(complete(kEfi) && complete(kEfiFlags));

}  // namespace
}  // namespace vaz::formula

using namespace vaz::formula;

extern "C" {

VAZ_EXPORT int CalCd_GM_EFI_ENG(u16 item, u8 *answer, char *out, u8, u16) {
  return run_list(kEfi, OutOfRange::KeepOutput, item, answer, out, Source::InPlace);
}

VAZ_EXPORT int CalCd_GM_EFI_ENG_WORKFLAGS(u16 item, u8 *answer, char *out, u8, u16) {
  return run_list(kEfiFlags, OutOfRange::TextZero, item, answer, out, Source::InPlace);
}

}  // extern "C"
