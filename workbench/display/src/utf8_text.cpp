// UTF-8 decoding for the screens; small on purpose, no locale involved, so the
// result does not depend on the environment the host runs in.
#include "utf8_text.h"

#include <cstdint>

namespace stdhost::utf8 {
namespace {

struct Char {
  char32_t code;
  std::size_t bytes;  // 1 for a byte that starts no valid sequence
};

Char decode(std::string_view s, std::size_t at) {
  const auto b = static_cast<unsigned char>(s[at]);
  std::size_t n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
  if (n <= 1 || at + n > s.size()) return {b, 1};
  char32_t c = b & (0x7F >> n);
  for (std::size_t i = 1; i < n; ++i) {
    const auto t = static_cast<unsigned char>(s[at + i]);
    if ((t & 0xC0) != 0x80) return {b, 1};
    c = (c << 6) | (t & 0x3F);
  }
  return {c, n};
}

int columnsOf(char32_t c) {
  if ((c >= 0x0300 && c <= 0x036F) || (c >= 0x200B && c <= 0x200F) || (c >= 0xFE00 && c <= 0xFE0F)) return 0;
  if ((c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
      (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
      (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1FAFF) || (c >= 0x20000 && c <= 0x3FFFD))
    return 2;
  return 1;
}

void append(std::string &out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

int width(std::string_view s) {
  int w = 0;
  for (std::size_t i = 0; i < s.size();) {
    Char c = decode(s, i);
    w += columnsOf(c.code);
    i += c.bytes;
  }
  return w;
}

std::string fit(std::string_view s, int columns) {
  if (columns <= 0) return {};
  std::size_t end = 0;
  int used = 0;
  while (end < s.size()) {
    Char c = decode(s, end);
    const int w = columnsOf(c.code);
    if (used + w > columns) break;
    used += w;
    end += c.bytes;
  }
  return std::string(s.substr(0, end)) + std::string(static_cast<std::size_t>(columns - used), ' ');
}

std::string fold(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    Char c = decode(s, i);
    if (c.bytes == 1 && c.code >= 0x80) {
      out += s[i];  // not valid UTF-8: kept as it is
      ++i;
      continue;
    }
    char32_t l = c.code;
    if (l >= 'A' && l <= 'Z')
      l += 0x20;
    else if (l >= 0x0410 && l <= 0x042F)
      l += 0x20;  // А..Я
    else if (l >= 0x0400 && l <= 0x040F)
      l += 0x50;  // Ѐ..Џ, Ё among them
    if (l == c.code)
      out.append(s.substr(i, c.bytes));
    else
      append(out, l);
    i += c.bytes;
  }
  return out;
}

}  // namespace stdhost::utf8
