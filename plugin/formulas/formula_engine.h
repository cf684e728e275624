// The row model of the data formulas: every item of every data list (Bosch and
// GM) is a constexpr row (a short value program with its arithmetic kind and
// format, an optional guard with its own program, or a state bit with two text
// IDs), read by one small engine.
#ifndef VAZ_FORMULAS_FORMULA_ENGINE_H
#define VAZ_FORMULAS_FORMULA_ENGINE_H

#include <array>
#include <cstddef>
#include <span>

#include "vaz_old.h"

namespace vaz::formula {

// One step of a value program. Loads put a raw reading into the accumulator;
// the other steps apply a constant (or a further byte times a constant) to it.
enum class Op : u8 {
  None,
  LoadByte,        // D[p1]
  LoadWord,        // D[p1] x 256 + D[p2] (p1 is the high byte)
  LoadV255,        // D[p1] x 255 + D[p2]
  LoadSignedByte,  // D[p1] as two's complement
  LoadSignedWord,  // D[p1]:D[p2] as a two's complement 16-bit word
  LoadSignedV255,  // minus the 255-join of the word's two's complement magnitude
  Const,           // c
  Add,             // acc + c
  Mul,             // acc x c
  Div,             // acc / c (integer quotient in integer arithmetic)
  SubFrom,         // c - acc
  DivFrom,         // c / acc (a zero divisor gives infinity, or 0 in integers)
  Shr,             // acc >> c (integer arithmetic only)
  And,             // acc & c (integer arithmetic only)
  AddByteTimes,    // acc + D[p1] x c
};

struct Step {
  Op op = Op::None;
  u8 p1 = 0;
  u8 p2 = 0;
  double c = 0.0;
};

// How a program is computed; the ECU's firmware mixes all five and the printed
// digits depend on it.
enum class Arith : u8 {
  Int,           // 64-bit integer accumulator, constants taken as integers
  Trunc,         // double, then truncated toward zero to a 32-bit integer
  Double,        // double, printed as double
  DoubleSingle,  // double, rounded to single precision, printed
  Single,        // single precision throughout, constants taken as floats
};

enum class Fmt : u8 { Dec, Hex, F1, F2, F3, F4, F6 };

inline constexpr std::size_t kMaxSteps = 6;

struct Calc {
  Arith arith = Arith::Int;
  Fmt fmt = Fmt::Dec;
  std::array<Step, kMaxSteps> steps{};
};

// A guard picks the alternative program when it holds.
enum class Guard : u8 {
  None,
  TopBit,       // D[g1] >= 128
  ByteAbove,    // D[g1] > limit
  WordOutside,  // w = D[g1] x 256 + D[g2]: w == 0 or w >= limit
};

enum class Kind : u8 { Empty, Value, State };

struct Row {
  Kind kind = Kind::Empty;
  Calc main{};
  Guard guard = Guard::None;
  u8 g1 = 0;
  u8 g2 = 0;
  u32 limit = 0;
  Calc alt{};
  u8 bitPos = 0;
  u8 bit = 0;
  u32 textSet = 0;
  u32 textClear = 0;
};

// Text pair of a state item: the text when the bit is set, and when it is clear.
struct Pair {
  u32 set;
  u32 clear;
};
inline constexpr Pair kOnOff{0xFE552001, 0xFE552002};
inline constexpr Pair kYesNo{0xFE552003, 0xFE552004};

// ---- table-writing helpers ----
constexpr Step byteAt(u8 p) { return {Op::LoadByte, p, 0, 0.0}; }
constexpr Step word(u8 hi, u8 lo) { return {Op::LoadWord, hi, lo, 0.0}; }
constexpr Step v255(u8 hi, u8 lo) { return {Op::LoadV255, hi, lo, 0.0}; }
constexpr Step signedByte(u8 p) { return {Op::LoadSignedByte, p, 0, 0.0}; }
constexpr Step signedWord(u8 hi, u8 lo) { return {Op::LoadSignedWord, hi, lo, 0.0}; }
constexpr Step signedV255(u8 hi, u8 lo) { return {Op::LoadSignedV255, hi, lo, 0.0}; }
constexpr Step konst(double c) { return {Op::Const, 0, 0, c}; }
constexpr Step add(double c) { return {Op::Add, 0, 0, c}; }
constexpr Step mul(double c) { return {Op::Mul, 0, 0, c}; }

// One step of a byte that counts 256ths (a fraction byte, or the low byte of
// a word); exact in binary, so the results stay bit for bit as written out.
inline constexpr double kPerByteStep = 1.0 / 256;
static_assert(kPerByteStep == 0.00390625);
constexpr Step div(double c) { return {Op::Div, 0, 0, c}; }
constexpr Step subFrom(double c) { return {Op::SubFrom, 0, 0, c}; }
constexpr Step divFrom(double c) { return {Op::DivFrom, 0, 0, c}; }
constexpr Step shr(double c) { return {Op::Shr, 0, 0, c}; }
constexpr Step band(double c) { return {Op::And, 0, 0, c}; }
constexpr Step addByte(u8 p, double c) { return {Op::AddByteTimes, p, 0, c}; }

template <typename... S>
constexpr Calc calc(Arith a, Fmt f, S... s) {
  static_assert(sizeof...(S) <= kMaxSteps);
  return Calc{a, f, {s...}};
}

constexpr Row value(Calc c) {
  Row r{};
  r.kind = Kind::Value;
  r.main = c;
  return r;
}

// The alternative program runs when D[pos] has its top bit set.
constexpr Row signBranch(u8 pos, Calc negative, Calc positive) {
  Row r = value(positive);
  r.guard = Guard::TopBit;
  r.g1 = pos;
  r.alt = negative;
  return r;
}

// The alternative program runs when D[pos] exceeds `limit`.
constexpr Row byteAbove(u8 pos, u32 limit, Calc outside, Calc inside) {
  Row r = value(inside);
  r.guard = Guard::ByteAbove;
  r.g1 = pos;
  r.limit = limit;
  r.alt = outside;
  return r;
}

// The alternative program runs when the word hi:lo is 0 or at least `limit`.
constexpr Row wordOutside(u8 hi, u8 lo, u32 limit, Calc outside, Calc inside) {
  Row r = value(inside);
  r.guard = Guard::WordOutside;
  r.g1 = hi;
  r.g2 = lo;
  r.limit = limit;
  r.alt = outside;
  return r;
}

constexpr Row state(u8 pos, u8 bit, Pair p) {
  Row r{};
  r.kind = Kind::State;
  r.bitPos = pos;
  r.bit = bit;
  r.textSet = p.set;
  r.textClear = p.clear;
  return r;
}

// True when every row of a list was written: a short initialiser would leave
// empty rows behind.
template <std::size_t N>
constexpr bool complete(const std::array<Row, N> &rows) {
  for (const Row &r : rows) {
    if (r.kind == Kind::Empty) return false;
  }
  return true;
}

// What a routine does with an item number outside its list: nothing, "???",
// or the text of text ID 0 (the status lists).
enum class OutOfRange : u8 { KeepOutput, Unknown, TextZero };

// Where the rows' byte positions point: into the private copy taken from the
// data start (Bosch), or straight into the answer buffer (GM, whose comm
// routine already moved the ALDL frame to the buffer's start).
enum class Source : u8 { Copy, InPlace };

// Bytes of the private copy of the answer, taken from the data start.
inline constexpr std::size_t kCopySize = 200;

// Copy 200 bytes of `answer` from its data start: A[3] behind a long-form
// KWP2000 format byte (0x80), A[2] otherwise.
void copy_data(const u8 *answer, u8 (&d)[kCopySize]);

// Write the text of `textId` (at most 19 characters) into `out`; an unbound
// text service leaves an empty text.
int state_text(u32 textId, char *out);

// Compute and print one row from the bytes `d`.
int run_row(const Row &row, const u8 *d, char *out);

// The whole formula routine: copy (unless in place), check the item number,
// run its row.
int run_list(std::span<const Row> rows, OutOfRange policy, u16 item, const u8 *answer, char *out,
             Source source = Source::Copy);

// Rows `first` .. `first + N - 1` of `src` (0-based) as an array, for lists
// that repeat the rows of a sibling list.
template <std::size_t N, std::size_t M>
constexpr std::array<Row, N> slice(const std::array<Row, M> &src, std::size_t first) {
  std::array<Row, N> out{};
  for (std::size_t i = 0; i < N; ++i) out[i] = src[first + i];
  return out;
}

template <std::size_t A, std::size_t B>
constexpr std::array<Row, A + B> join(const std::array<Row, A> &a, const std::array<Row, B> &b) {
  std::array<Row, A + B> out{};
  for (std::size_t i = 0; i < A; ++i) out[i] = a[i];
  for (std::size_t i = 0; i < B; ++i) out[A + i] = b[i];
  return out;
}

}  // namespace vaz::formula

#endif
