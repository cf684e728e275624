// The one rule that splits a trouble code's text into the Code and Text columns,
// shared by the screens, the history and the report. The code texts lead with
// the code the mechanic looks up ("P0102 Mass air flow ...", GM "Code 13 ..." or
// "Код 13 ..."); a current fault has no code and is all text ("Coolant
// temperature sensor fault"), so its first word must not become a code.
#pragma once

#include <string>
#include <string_view>

namespace workbench {

struct CodeColumns {
  std::string_view code;  // "P0102", "13", or empty
  std::string_view text;
};

namespace code_column_detail {

inline bool is_hex_digit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }
inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

// An SAE code: system letter and four hex digits (P0102, P1602, U0100).
inline bool is_sae_code(std::string_view w) {
  if (w.size() != 5 || (w[0] != 'P' && w[0] != 'B' && w[0] != 'C' && w[0] != 'U')) return false;
  for (char c : w.substr(1))
    if (!is_hex_digit(c)) return false;
  return true;
}

inline bool is_number(std::string_view w) {
  if (w.empty() || w.size() > 4) return false;
  for (char c : w)
    if (!is_digit(c)) return false;
  return true;
}

inline std::string_view rest_after(std::string_view s, std::size_t end) {
  if (end >= s.size()) return {};
  return s.substr(end + 1);
}

}  // namespace code_column_detail

inline CodeColumns split_code(std::string_view shown) {
  using namespace code_column_detail;
  const std::size_t sp = shown.find(' ');
  const std::string_view first = shown.substr(0, sp);
  if (is_sae_code(first)) return {first, rest_after(shown, sp)};
  // GM: the word for "code" in the text's language, then the number.
  for (std::string_view word : {std::string_view("Code"), std::string_view("Код")}) {
    if (first != word || sp == std::string_view::npos) continue;
    const std::size_t sp2 = shown.find(' ', sp + 1);
    const std::string_view number = shown.substr(sp + 1, sp2 == std::string_view::npos ? sp2 : sp2 - sp - 1);
    if (is_number(number)) return {number, rest_after(shown, sp2)};
  }
  return {{}, shown};
}

// Columns as a history stored them: older histories cut at the first word
// ("Coolant" / "temperature sensor fault", "Code" / "13 Oxygen ..."); such a
// row is joined again and split by the rule.
inline CodeColumns stored_code_columns(std::string_view code, std::string_view text, std::string &joined) {
  using namespace code_column_detail;
  if (code.empty() || is_sae_code(code) || is_number(code)) return {code, text};
  joined.assign(code);
  if (!text.empty()) (joined += ' ') += text;
  return split_code(joined);
}

}  // namespace workbench
