// Parser of the script language: a table of verbs and the argument shape each takes.
#include "script.h"

#include "screens.h"

#include "workbench/printable.h"

#include <cctype>
#include <charconv>
#include <climits>

namespace stdhost {
namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

bool sameWord(std::string_view a, const char *b) {
  std::string_view w(b);
  if (a.size() != w.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != w[i]) return false;
  return true;
}

bool toLong(std::string_view s, long &v) {
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc() && p == s.data() + s.size() && !s.empty();
}

bool allDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

constexpr long kMaxPosition = 100000;
constexpr long kMaxCount = 1000000;

// Fills the step's argument; returns an error text or empty.
std::string parseArg(ArgShape shape, std::string_view arg, Step &step) {
  switch (shape) {
    case ArgShape::None: return arg.empty() ? "" : "takes no argument";
    case ArgShape::PositionOrText: {
      if (arg.empty()) return "needs a position or an entry text";
      if (arg.size() >= 2 && arg.front() == '"' && arg.back() == '"') {
        step.text = std::string(arg.substr(1, arg.size() - 2));
        return step.text.empty() ? "needs a position or an entry text" : "";
      }
      if (allDigits(arg)) {
        long v = 0;
        if (!toLong(arg, v) || v > kMaxPosition) return "position must be at most " + std::to_string(kMaxPosition);
        if (v < 1) return "position must be 1 or more";
        step.position = static_cast<int>(v);
        return "";
      }
      step.text = std::string(arg);
      return "";
    }
    case ArgShape::TickList: {
      if (sameWord(arg, "all")) {
        step.all = true;
        return "";
      }
      if (sameWord(arg, "none")) return "";
      if (arg.empty()) return "needs positions, 'all' or 'none'";
      while (!arg.empty()) {
        std::size_t n = 0;
        while (n < arg.size() && arg[n] != ',' && !std::isspace(static_cast<unsigned char>(arg[n]))) ++n;
        std::string_view tok = arg.substr(0, n);
        long v = 0;
        if (!tok.empty()) {
          if (!allDigits(tok)) return "bad position '" + workbench::printable(tok) + "'";
          if (!toLong(tok, v) || v > kMaxPosition)
            return "position " + workbench::printable(tok) + " too large: at most " + std::to_string(kMaxPosition);
          if (v < 1) return "bad position '" + workbench::printable(tok) + "'";
          step.positions.push_back(static_cast<int>(v));
        }
        arg.remove_prefix(n);
        while (!arg.empty() && (arg.front() == ',' || std::isspace(static_cast<unsigned char>(arg.front()))))
          arg.remove_prefix(1);
      }
      return "";
    }
    case ArgShape::Count: {
      long v = 0;
      if (allDigits(arg) && (!toLong(arg, v) || v > kMaxCount))
        return "count " + workbench::printable(arg) + " too large: at most " + std::to_string(kMaxCount);
      if (!allDigits(arg) || v < 1) return "needs a count of 1 or more";
      step.value = v;
      return "";
    }
    case ArgShape::Integer: {
      long v = 0;
      std::string_view digits = arg;
      if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) digits.remove_prefix(1);
      // The cancel's own number is let through on purpose: a script plays a cancelled box with it.
      if (allDigits(digits) && (!toLong(arg, v) || v < kNumberCancelled || v > INT_MAX))
        return "number " + workbench::printable(arg) + " out of range: at least " + std::to_string(kNumberCancelled) +
               ", at most " + std::to_string(INT_MAX);
      if (!toLong(arg, v)) return "needs a whole number";
      step.value = v;
      return "";
    }
  }
  return "bad argument";
}

}  // namespace

bool parseScript(std::string_view text, std::vector<Step> &steps, std::string &error) {
  std::vector<Step> out;
  // A byte-order mark, as editors on some systems write it (the text library takes it too).
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  int lineNo = 0;
  while (!text.empty()) {
    ++lineNo;
    auto eol = text.find('\n');
    std::string_view line = trim(text.substr(0, eol));
    text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
    if (line.empty() || line.front() == '#') continue;

    std::size_t n = 0;
    while (n < line.size() && !std::isspace(static_cast<unsigned char>(line[n]))) ++n;
    std::string_view word = line.substr(0, n);
    const VerbRule *rule = nullptr;
    for (const auto &v : kVerbs)
      if (sameWord(word, v.word)) rule = &v;
    if (!rule) {
      error = "script line " + std::to_string(lineNo) + ": unknown step '" + workbench::printable(word) + "'";
      return false;
    }
    Step step;
    step.rule = rule;
    step.line = lineNo;
    step.source = std::string(line);
    std::string fault = parseArg(rule->arg, trim(line.substr(n)), step);
    if (!fault.empty()) {
      error = "script line " + std::to_string(lineNo) + ": '" + workbench::printable(step.source) + "': " + fault;
      return false;
    }
    out.push_back(std::move(step));
  }
  steps = std::move(out);
  return true;
}

}  // namespace stdhost
