// Text from files and options made safe to put on a terminal: control characters are shown
// escaped (\n, \t, \x1B) so that a stray byte cannot move the cursor or clear the screen,
// and a token longer than a message can hold is shortened with "...". Shared by the display
// host and vazdiag.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace workbench {

inline void append_printable(std::string &out, std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    const auto c = static_cast<unsigned char>(ch);
    // U+0080..U+009F, the C1 controls (CSI among them), act on a UTF-8 terminal as ESC does.
    const bool c1 = c == 0xC2 && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80;
    if (c1) {
      const auto next = static_cast<unsigned char>(text[++i]);
      out += "\\xC2\\x";
      out += kHex[next >> 4];
      out += kHex[next & 0xF];
    } else if (c >= 0x20 && c != 0x7F) {
      out += ch;  // bytes of UTF-8 sequences pass unchanged
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
  }
}

// Text of several lines (a message, a list of faults): each line escaped, the breaks kept.
inline void append_printable_lines(std::string &out, std::string_view text) {
  for (std::size_t nl = text.find('\n'); nl != std::string_view::npos; nl = text.find('\n')) {
    append_printable(out, text.substr(0, nl));
    out += '\n';
    text.remove_prefix(nl + 1);
  }
  append_printable(out, text);
}

inline std::string printable_lines(std::string_view text) {
  std::string out;
  append_printable_lines(out, text);
  return out;
}

// For messages: escaped, and cut to at most max bytes of the original (at a character
// boundary) with "..." after.
inline std::string printable(std::string_view text, std::size_t max = 60) {
  bool cut = false;
  if (text.size() > max) {
    std::size_t n = max;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;  // not inside a UTF-8 character
    text = text.substr(0, n);
    cut = true;
  }
  std::string out;
  append_printable(out, text);
  if (cut) out += "...";
  return out;
}

}  // namespace workbench
