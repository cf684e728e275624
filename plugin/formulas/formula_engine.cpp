// The engine behind every data formula: takes the answer copy, evaluates
// a row's value program in the row's own arithmetic and prints it, or looks up
// the state text a bit selects.
#include "formulas/formula_engine.h"

#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <type_traits>

namespace vaz::formula {
namespace {

// A table's byte position, read from the copy: every position a row names must
// lie inside it.
u8 at(const u8 *d, unsigned pos) {
  assert(pos < kCopySize);
  return d[pos];
}

// A raw reading of one load step, before any arithmetic kind applies.
std::int64_t load(const Step &s, const u8 *d) {
  const std::int64_t hi = at(d, s.p1);
  const std::int64_t lo = at(d, s.p2);
  const std::int64_t w = hi * 256 + lo;
  switch (s.op) {
    case Op::LoadByte: return hi;
    case Op::LoadWord: return w;
    case Op::LoadV255: return hi * 255 + lo;
    case Op::LoadSignedByte: return hi >= 128 ? hi - 256 : hi;
    case Op::LoadSignedWord: return w >= 0x8000 ? w - 0x10000 : w;
    case Op::LoadSignedV255: {
      if (w < 0x8000) return hi * 255 + lo;
      // A negative reading mirrors the positive one: minus the 255-join of
      // its magnitude, so that FF FF and 00 01 differ only in sign.
      const std::int64_t m = 0x10000 - w;
      return -((m >> 8) * 255 + (m & 0xFF));
    }
    default: return 0;
  }
}

bool is_load(Op op) {
  return op == Op::LoadByte || op == Op::LoadWord || op == Op::LoadV255 || op == Op::LoadSignedByte ||
         op == Op::LoadSignedWord || op == Op::LoadSignedV255;
}

// c / acc without a division by zero: a zero reading gives the infinity the
// firmware's IEEE division gives (0 / 0 gives NaN), and 0 in integers.
template <typename T>
T divide_into(T c, T acc) {
  if constexpr (std::is_integral_v<T>) {
    return acc == 0 ? T{0} : c / acc;
  } else {
    if (acc != 0) return c / acc;
    if (c == 0 || std::isnan(c)) return std::numeric_limits<T>::quiet_NaN();
    const bool negative = std::signbit(c) != std::signbit(acc);
    return negative ? -std::numeric_limits<T>::infinity() : std::numeric_limits<T>::infinity();
  }
}

// One accumulator type per arithmetic kind; the steps are written once.
template <typename T>
T apply(const Calc &c, const u8 *d) {
  T acc{};
  for (const Step &s : c.steps) {
    const T k = static_cast<T>(s.c);
    if (is_load(s.op)) {
      acc = static_cast<T>(load(s, d));
      continue;
    }
    switch (s.op) {
      case Op::Const: acc = k; break;
      case Op::Add: acc = acc + k; break;
      case Op::Mul: acc = acc * k; break;
      case Op::Div:
        if constexpr (std::is_integral_v<T>) {
          acc = k == 0 ? T{0} : acc / k;
        } else {
          acc = acc / k;  // table constants, never zero
        }
        break;
      case Op::SubFrom: acc = k - acc; break;
      case Op::DivFrom: acc = divide_into(k, acc); break;
      case Op::AddByteTimes: acc = acc + static_cast<T>(at(d, s.p1)) * k; break;
      case Op::Shr:
      case Op::And:
        if constexpr (std::is_integral_v<T>) { acc = s.op == Op::Shr ? (acc >> k) : (acc & k); }
        break;
      default: break;
    }
  }
  return acc;
}

const char *pattern(Fmt f) {
  switch (f) {
    case Fmt::Dec: return "%d";
    case Fmt::Hex: return "%x";
    case Fmt::F1: return "%.1f";
    case Fmt::F2: return "%.2f";
    case Fmt::F3: return "%.3f";
    case Fmt::F4: return "%.4f";
    case Fmt::F6: return "%.6f";
  }
  return "%d";
}

bool integer_format(Fmt f) { return f == Fmt::Dec || f == Fmt::Hex; }

// Truncation toward zero that saturates like the ECU's converter: out-of-range
// values and infinities clamp to the 32-bit limits, NaN gives 0.
std::int32_t truncate(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}

int print_int(Fmt f, std::int32_t v, char *out) {
  if (f == Fmt::Hex) return std::snprintf(out, VAZ_CSTRING_SIZE, "%x", static_cast<unsigned>(v));
  if (f == Fmt::Dec) return std::snprintf(out, VAZ_CSTRING_SIZE, "%d", v);
  return std::snprintf(out, VAZ_CSTRING_SIZE, pattern(f), static_cast<double>(v));
}

int print_real(Fmt f, double v, char *out) {
  if (integer_format(f)) return print_int(f, truncate(v), out);
  return std::snprintf(out, VAZ_CSTRING_SIZE, pattern(f), v);
}

int print_calc(const Calc &c, const u8 *d, char *out) {
  switch (c.arith) {
    case Arith::Int: return print_int(c.fmt, static_cast<std::int32_t>(apply<std::int64_t>(c, d)), out);
    case Arith::Trunc: return print_int(c.fmt, truncate(apply<double>(c, d)), out);
    case Arith::Double: return print_real(c.fmt, apply<double>(c, d), out);
    case Arith::DoubleSingle: return print_real(c.fmt, static_cast<float>(apply<double>(c, d)), out);
    case Arith::Single: return print_real(c.fmt, apply<float>(c, d), out);
  }
  return 0;
}

bool guard_holds(const Row &r, const u8 *d) {
  switch (r.guard) {
    case Guard::None: return false;
    case Guard::TopBit: return at(d, r.g1) >= 128;
    case Guard::ByteAbove: return at(d, r.g1) > r.limit;
    case Guard::WordOutside: {
      const u32 w = at(d, r.g1) * 256u + at(d, r.g2);
      return w == 0 || w >= r.limit;
    }
  }
  return false;
}

}  // namespace

void copy_data(const u8 *answer, u8 (&d)[kCopySize]) {
  const u8 *start = answer + (answer[2] == KWP_FORMAT_LONG ? 3 : 2);
  std::memcpy(d, start, kCopySize);
}

int state_text(u32 textId, char *out) {
  if (GetTextFromTextLib == nullptr) {
    out[0] = '\0';
    return 0;
  }
  return GetTextFromTextLib(textId, out, VAZ_STATE_TEXT_SIZE);
}

int run_row(const Row &row, const u8 *d, char *out) {
  switch (row.kind) {
    case Kind::State: return state_text((at(d, row.bitPos) >> row.bit) & 1u ? row.textSet : row.textClear, out);
    case Kind::Value: return print_calc(guard_holds(row, d) ? row.alt : row.main, d, out);
    case Kind::Empty: break;
  }
  return 0;
}

int run_list(std::span<const Row> rows, OutOfRange policy, u16 item, const u8 *answer, char *out, Source source) {
  if (answer == nullptr || out == nullptr) return 0;
  if (item == 0 || item > rows.size()) {
    switch (policy) {
      case OutOfRange::Unknown: return std::snprintf(out, VAZ_CSTRING_SIZE, "???");
      case OutOfRange::TextZero: return state_text(0, out);
      case OutOfRange::KeepOutput: break;
    }
    return 0;
  }
  if (source == Source::InPlace) return run_row(rows[item - 1], answer, out);
  u8 d[kCopySize];
  copy_data(answer, d);
  return run_row(rows[item - 1], d, out);
}

}  // namespace vaz::formula
