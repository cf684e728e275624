// Text helpers of the configuration reader: finding a key=value line in the
// file's text and replacing text in place.
#include <cctype>
#include <climits>
#include <cstring>

#include "vaz_old.h"

namespace {

// Decimal value as the C library's atoi reads it (blanks, sign, digits), but
// saturated instead of overflowing.
int decimal_value(const char *p) {
  while (std::isspace(static_cast<unsigned char>(*p))) ++p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  long long value = 0;
  for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
    value = value * 10 + (*p - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace

extern "C" {

// Only an occurrence at the start of a line counts, so a key inside another
// key's name ("MyStdVer=") or inside a comment is passed over. The first line
// is the file's header: a key found at the very start of the text ends the
// search with 0.
VAZ_EXPORT int GetIniCfgIntValueFromKey(char *text, const char *key) {
  if (text == nullptr || key == nullptr) return 0;
  const std::size_t keyLength = std::strlen(key);
  char *found = std::strstr(text, key);
  while (found != nullptr) {
    if (found == text) return 0;
    if (found[-1] == '\n') break;
    found = std::strstr(found + (keyLength > 0 ? keyLength : 1), key);
  }
  if (found == nullptr) return 0;

  char *end = std::strpbrk(found, ";\n");
  if (end != nullptr) *end = '\0';
  const char *equals = std::strchr(found, '=');
  if (equals == nullptr) return 0;
  return decimal_value(equals + 1);
}

VAZ_EXPORT void StringReplace(char *text, const char *from, const char *to) {
  if (text == nullptr || from == nullptr || to == nullptr) return;
  const std::size_t fromLength = std::strlen(from);
  const std::size_t toLength = std::strlen(to);
  if (toLength > fromLength || fromLength == 0) return;
  // A shortening replacement ends by itself; one of equal length could rewrite
  // its own output for ever, so it gets no more rounds than the text has bytes.
  std::size_t rounds = std::strlen(text) + 1;
  for (char *at = std::strstr(text, from); at != nullptr && rounds > 0; at = std::strstr(text, from), --rounds) {
    std::memcpy(at, to, toLength);
    char *rest = at + fromLength;
    std::memmove(at + toLength, rest, std::strlen(rest) + 1);
  }
}

}  // extern "C"
