// Parser of the text library's line format (described in data/README.md):
//   0xFE551004 Communication with the control unit failed
//   0x58300301 [06 82 10 F1 1A 90 00]
// with '#' comment lines and blank lines. Every fault is kept with its
// file:line so that a broken data file is easy to repair.
#include "record_file.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace stdhost {
namespace {

bool isSpace(char c) { return c == ' ' || c == '\t'; }

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
  return s;
}

// "0x" and exactly eight hex digits.
bool parseId(std::string_view token, std::uint32_t &id) {
  if (token.size() != 10 || token[0] != '0' || (token[1] != 'x' && token[1] != 'X')) return false;
  std::uint32_t v = 0;
  for (char c : token.substr(2)) {
    int h = hexValue(c);
    if (h < 0) return false;
    v = v * 16 + static_cast<std::uint32_t>(h);
  }
  id = v;
  return true;
}

// "[hh hh ...]" -> bytes; returns an error text or empty.
std::string parseBytes(std::string_view body, std::string &bytes) {
  body.remove_prefix(1);  // '['
  auto close = body.find(']');
  if (close == std::string_view::npos) return "binary record without closing ']'";
  if (!trim(body.substr(close + 1)).empty()) return "text after the closing ']'";
  std::string_view inner = body.substr(0, close);
  while (true) {
    inner = trim(inner);
    if (inner.empty()) break;
    std::size_t n = 0;
    while (n < inner.size() && !isSpace(inner[n])) ++n;
    std::string_view tok = inner.substr(0, n);
    if (tok.size() != 2 || hexValue(tok[0]) < 0 || hexValue(tok[1]) < 0)
      return "bad byte '" + std::string(tok) + "' (two hex digits expected)";
    bytes.push_back(static_cast<char>(hexValue(tok[0]) * 16 + hexValue(tok[1])));
    inner.remove_prefix(n);
  }
  if (bytes.empty()) return "empty binary record";
  return {};
}

// Escapes: \n line break, \\ backslash, \[ a literal '[' (a text may not start with '[' otherwise).
std::string unescape(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      char n = s[i + 1];
      if (n == 'n') {
        out.push_back('\n');
        ++i;
        continue;
      }
      if (n == '\\' || n == '[') {
        out.push_back(n);
        ++i;
        continue;
      }
    }
    out.push_back(s[i]);
  }
  return out;
}

}  // namespace

RecordFile parseRecordFile(std::string_view text, const std::string &name) {
  RecordFile file;
  file.path = name;
  std::unordered_map<std::uint32_t, int> firstLine;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  int lineNo = 0;
  while (!text.empty()) {
    ++lineNo;
    auto eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = trim(line);
    if (line.empty() || line.front() == '#') continue;

    auto fault = [&](const std::string &what) {
      file.errors.push_back(name + ":" + std::to_string(lineNo) + ": " + what);
    };
    std::size_t n = 0;
    while (n < line.size() && !isSpace(line[n])) ++n;
    std::uint32_t id = 0;
    if (!parseId(line.substr(0, n), id)) {
      fault("bad text ID '" + std::string(line.substr(0, n)) + "' (0x and eight hex digits expected)");
      continue;
    }
    std::string_view body = trim(line.substr(n));
    if (body.empty()) {
      fault("text ID " + std::string(line.substr(0, n)) + " without a text");
      continue;
    }
    Record rec;
    rec.line = lineNo;
    if (body.front() == '[') {
      rec.binary = true;
      std::string err = parseBytes(body, rec.bytes);
      if (!err.empty()) {
        fault(err);
        continue;
      }
    } else {
      rec.bytes = unescape(body);
    }
    auto [it, fresh] = firstLine.emplace(id, lineNo);
    if (!fresh) {
      fault("text ID " + std::string(line.substr(0, n)) + " already defined at line " + std::to_string(it->second));
      continue;
    }
    file.records.emplace(id, std::move(rec));
  }
  return file;
}

bool loadRecordFile(const std::string &path, RecordFile &out) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buf;
  buf << in.rdbuf();
  if (in.bad()) return false;
  out = parseRecordFile(buf.str(), path);
  return true;
}

}  // namespace stdhost
