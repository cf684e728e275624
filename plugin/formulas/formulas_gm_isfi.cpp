// Data formulas of the GM ISFI ECU: the data list and the status list of the
// ALDL mode 1 answer. The rows read the answer buffer in place (A[3] is the
// first data byte) and 16-bit values are stored high byte first.
#include "formulas/formula_engine.h"

namespace vaz::formula {
namespace {

using enum Arith;
using enum Fmt;

constexpr Row plain(Step load) { return value(calc(Int, Dec, load)); }
constexpr Row temperature(u8 pos) { return value(calc(Trunc, Dec, byteAt(pos), mul(0.75), add(-40.0))); }
// Signed percentage around 128; the integer quotient truncates toward zero.
constexpr Row trim(u8 pos) { return value(calc(Int, Dec, byteAt(pos), mul(100), add(-12800), div(128))); }
constexpr Row quarterWord(u8 hi) {
  return value(calc(Single, F1, word(hi, static_cast<u8>(hi + 1)), mul(kPerByteStep)));
}

constexpr std::array<Row, 28> kIsfi{
    temperature(19),
    temperature(20),
    temperature(21),
    value(calc(DoubleSingle, F2, byteAt(22), div(51.0))),
    value(calc(Trunc, Dec, byteAt(23), mul(100.0), div(255.0))),
    value(calc(Trunc, Dec, byteAt(24), mul(12.5))),
    // A zero period divides by zero; the saturating truncation prints the
    // 32-bit maximum, as the ECU's tester always did.
    value(calc(Trunc, Dec, word(25, 26), divFrom(3932100.0))),
    plain(byteAt(27)),
    value(calc(Trunc, Dec, byteAt(28), mul(4.5))),
    plain(byteAt(29)),
    /* 11 */ trim(30),
    trim(31),
    plain(byteAt(32)),
    plain(byteAt(33)),
    plain(byteAt(34)),
    value(calc(Int, Dec, byteAt(35), mul(100), div(256))),
    plain(byteAt(36)),
    plain(byteAt(37)),
    value(calc(DoubleSingle, F1, byteAt(38), div(10.0))),
    value(calc(Single, F1, word(39, 40), mul(90), mul(kPerByteStep))),
    /* 21 */ value(calc(Double, F2, word(41, 42), div(65.4))),
    // 1638.4 as the firmware stores it, in single precision; a zero reading
    // prints "inf".
    value(calc(Double, F1, word(43, 44), divFrom(static_cast<double>(1638.4f)))),
    plain(word(45, 46)),
    quarterWord(47),
    quarterWord(49),
    plain(byteAt(51)),
    plain(byteAt(52)),
    plain(word(3, 4)),
};

// Texts of the status list beyond the two common pairs.
constexpr Pair kYesOrNone{0xFE552003, 0xFE552005};
constexpr Pair kPowerUp{0xFE552095, 0xFE552094};
constexpr Pair kActiveOrNone{0xFE552006, 0xFE552005};
constexpr Pair kOffOn{0xFE552002, 0xFE552001};
constexpr Pair kNoYes{0xFE552004, 0xFE552003};

constexpr std::array<Row, 58> kIsfiFlags{
    state(53, 0, kOnOff),
    state(53, 2, kYesNo),
    state(53, 3, kYesNo),
    state(53, 4, kOnOff),
    state(54, 0, kYesOrNone),
    state(54, 4, kYesNo),
    state(54, 5, kOnOff),
    state(55, 0, kYesNo),
    state(55, 2, kYesNo),
    /* 10 */ state(56, 0, kYesNo),
    state(56, 2, kYesNo),
    state(56, 3, kOnOff),
    state(56, 4, kOnOff),
    state(56, 5, kOnOff),
    state(56, 6, kOnOff),
    state(57, 0, kYesNo),
    state(57, 1, kOnOff),
    state(57, 2, kOnOff),
    state(57, 3, kOnOff),
    /* 20 */ state(57, 5, kNoYes),
    state(57, 6, kOnOff),
    state(57, 7, kOnOff),
    state(58, 0, kYesNo),
    state(58, 1, kYesNo),
    state(58, 2, kYesNo),
    state(58, 3, kYesNo),
    state(58, 4, kYesNo),
    state(58, 5, kYesNo),
    state(58, 6, kYesNo),
    /* 30 */ state(58, 7, kYesNo),
    state(59, 0, kOnOff),
    state(59, 1, kOnOff),
    state(60, 0, kYesNo),
    state(60, 1, kYesNo),
    state(60, 5, kYesNo),
    state(60, 6, kYesNo),
    state(61, 3, kOnOff),
    state(61, 5, kOnOff),
    state(61, 6, kPowerUp),
    /* 40 */ state(61, 7, kActiveOrNone),
    state(62, 0, kYesNo),
    state(62, 1, kYesNo),
    state(62, 2, kYesNo),
    state(62, 4, kOffOn),
    state(63, 0, kYesNo),
    state(63, 1, kYesNo),
    state(63, 2, kYesNo),
    state(63, 6, kYesNo),
    state(63, 7, kYesNo),
    /* 50 */ state(64, 2, kYesNo),
    state(64, 3, kYesNo),
    state(64, 4, kYesNo),
    state(64, 5, kYesNo),
    state(64, 7, kYesNo),
    state(65, 0, kYesNo),
    state(65, 2, kYesNo),
    state(65, 6, kYesNo),
    state(65, 7, kYesNo),
};

static_assert(complete(kIsfi) && complete(kIsfiFlags));

}  // namespace
}  // namespace vaz::formula

using namespace vaz::formula;

extern "C" {

VAZ_EXPORT int CalCd_GM_ISFI_ENG(u16 item, u8 *answer, char *out, u8, u16) {
  return run_list(kIsfi, OutOfRange::Unknown, item, answer, out, Source::InPlace);
}

VAZ_EXPORT int CalCd_GM_ISFI_ENG_WORKFLAGS(u16 item, u8 *answer, char *out, u8, u16) {
  return run_list(kIsfiFlags, OutOfRange::TextZero, item, answer, out, Source::InPlace);
}

}  // extern "C"
