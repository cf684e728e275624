// Identification formulas of the Bosch ECUs: each identification item is a
// field of fixed length copied from the start of the ECU's identification
// text, one request per item.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <span>

#include "vaz_old.h"

namespace {

enum class Field : unsigned char { Copy, PackedDecimal, FirstChar };

struct FieldRow {
  Field kind;
  unsigned char length;
};

constexpr FieldRow copy(unsigned char n) { return {Field::Copy, n}; }

constexpr std::array<FieldRow, 11> kM154{copy(19), copy(16), copy(10), copy(10), copy(15), copy(7),
                                         copy(10), copy(8),  copy(7),  copy(7),  copy(10)};
constexpr std::array<FieldRow, 7> kM70{
    copy(17), copy(12), copy(10), copy(10), copy(6), FieldRow{Field::PackedDecimal, 4}, FieldRow{Field::FirstChar, 1}};
constexpr std::array<FieldRow, 11> kM797{copy(17), copy(16), copy(12), copy(10), copy(15), copy(9),
                                         copy(10), copy(10), copy(7),  copy(7),  copy(10)};

// Bytes of the answer frame considered, and where the text starts in them.
constexpr std::size_t kFrameBytes = 200;
constexpr std::size_t kTextStart = 5;

int run(std::span<const FieldRow> rows, u16 item, const u8 *answer, char *out) {
  if (answer == nullptr || out == nullptr) return 0;
  if (item == 0 || item > rows.size()) return std::snprintf(out, VAZ_CSTRING_SIZE, "???");

  // A long-form frame (format byte 0x80) carries a separate length byte.
  const std::size_t skip = answer[2] == KWP_FORMAT_LONG ? 1 : 0;
  u8 frame[kFrameBytes + 1];
  std::memcpy(frame, answer + 2 + skip, kFrameBytes);
  frame[kFrameBytes] = 0;
  const u8 *text = frame + kTextStart;
  // The text ends where the frame the ECU sent ends, before its checksum: a field
  // sent shorter than the table's width is shown as sent, never with the checksum
  // or bytes an earlier answer left in the buffer.
  const std::size_t received = answer[0] == 0 ? 0 : answer[1];
  const std::size_t textEnd = std::min(received > skip + 1 ? received - skip - 1 : 0, kFrameBytes);
  const std::size_t sent = textEnd > kTextStart ? textEnd - kTextStart : 0;

  const FieldRow &row = rows[item - 1];
  const std::size_t width = std::min<std::size_t>(row.length, sent);
  std::size_t n = 0;
  switch (row.kind) {
    case Field::Copy:
    case Field::FirstChar:
      std::memcpy(out, text, width);
      n = width;
      break;
    case Field::PackedDecimal:
      for (std::size_t i = 0; i < width; ++i) {
        out[n++] = static_cast<char>('0' + (text[i] >> 4));
        out[n++] = static_cast<char>('0' + (text[i] & 0x0F));
      }
      break;
  }
  out[n] = '\0';
  return static_cast<int>(std::strlen(out));
}

}  // namespace

extern "C" {

VAZ_EXPORT int CalcInfo_BOSCH_M154_ENG(u16 item, u8 *answer, char *out, u8, u16) {
  return run(kM154, item, answer, out);
}

VAZ_EXPORT int CalcInfo_BOSCH_M70_ENG(u16 item, u8 *answer, char *out, u8, u16) { return run(kM70, item, answer, out); }

VAZ_EXPORT int CalcInfo_BOSCH_M797_E2_ENG(u16 item, u8 *answer, char *out, u8, u16) {
  return run(kM797, item, answer, out);
}

}  // extern "C"
