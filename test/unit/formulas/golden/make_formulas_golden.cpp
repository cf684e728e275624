// Makes the golden file of the data formulas (formulas.golden beside this
// file): for every item of every formula list, answers chosen to reach each
// branch of the item's formula, and the text the routine prints for them.
// Run it only to re-make the file on purpose, then read the differences:
//   build/test/unit/formulas/make_formulas_golden test/unit/formulas/golden/formulas.golden
// The routines are probed from outside, so the answers do not depend on how
// the formula tables are written: the bytes an item reads are found by
// setting one byte at a time, and the ends of its ranges (sign, zero, guard
// limits, truncation steps) by sweeping each such byte through all values.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "golden_lists.h"

namespace {

using vaz::test::GoldenBytes;
using vaz::test::GoldenList;

constexpr int kProbeEnd = 128;  // beyond every position a list reads

// Texts with the same sign (or the same non-number text) are one class; an
// answer pair is worth keeping where the class changes.
std::string text_class(const std::string &s) {
  char *end = nullptr;
  double v = std::strtod(s.c_str(), &end);
  if (s.empty() || *end != '\0') {
    const unsigned long h = std::strtoul(s.c_str(), &end, 16);
    if (s.empty() || *end != '\0') return s;
    v = static_cast<double>(h);
  }
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v > 0 ? "+inf" : "-inf";
  return v > 0 ? "+" : v < 0 ? "-" : "0";
}

bool is_state_text(const std::string &s) { return s.size() == 9 && s[0] == 'T'; }

class ItemAnswers {
 public:
  ItemAnswers(const GoldenList &l, u16 item) : list_(l), item_(item) {}

  std::string run(const GoldenBytes &b) const { return vaz::test::run_golden(list_, item_, b); }

  void add(GoldenBytes b) {
    std::erase_if(b, [](const auto &p) { return p.second == 0; });
    std::map<int, u8> sorted(b.begin(), b.end());
    GoldenBytes key(sorted.begin(), sorted.end());
    if (seen_.insert(key).second) answers_.push_back(key);
  }

  // Adds the answer pairs around each class change while `pos` sweeps 0..255
  // on top of `fixed`; returns the values where the class changed.
  std::vector<int> sweep(int pos, const GoldenBytes &fixed) {
    std::vector<int> changes;
    std::string last;
    for (int v = 0; v < 256; ++v) {
      GoldenBytes b = fixed;
      b.emplace_back(pos, static_cast<u8>(v));
      const std::string c = text_class(run(b));
      if (v > 0 && c != last) {
        GoldenBytes before = fixed;
        before.emplace_back(pos, static_cast<u8>(v - 1));
        add(before);
        add(b);
        changes.push_back(v);
      }
      last = c;
    }
    return changes;
  }

  void choose() {
    const std::string zero = run({});
    add({});
    if (list_.ident) {
      GoldenBytes text;
      for (int i = 0; i < 40; ++i) text.emplace_back(5 + i, static_cast<u8>(0x41 + i));
      add(text);
      return;
    }
    std::vector<int> reads;
    for (int p = 0; p < kProbeEnd; ++p) {
      for (int v : {0x01, 0x80, 0xFF, 0x5A, 0xA5}) {
        if (run({{p, static_cast<u8>(v)}}) != zero) {
          reads.push_back(p);
          break;
        }
      }
    }
    if (is_state_text(zero)) {
      // One answer per value of the bit, and the bit alone among the others.
      for (int p : reads) {
        add({{p, 0xFF}});
        for (int bit = 0; bit < 8; ++bit) {
          const u8 v = static_cast<u8>(1u << bit);
          if (run({{p, v}}) == zero) continue;
          add({{p, v}});
          add({{p, static_cast<u8>(0xFF ^ v)}});
        }
      }
      return;
    }
    for (int p : reads) {
      for (int v : {0x01, 0x7F, 0x80, 0xFF, 0xA7}) add({{p, static_cast<u8>(v)}});
      for (int v : sweep(p, {})) {
        // A range end of one byte may move with the other bytes (a word's limit).
        for (int q : reads) {
          if (q == p) continue;
          sweep(q, {{p, static_cast<u8>(v - 1)}});
          sweep(q, {{p, static_cast<u8>(v)}});
        }
      }
    }
    // Every byte at once, low and high patterns, so that combined readings show.
    GoldenBytes low, high;
    for (std::size_t k = 0; k < reads.size(); ++k) {
      low.emplace_back(reads[k], static_cast<u8>(0x35 + 0x4B * k));
      high.emplace_back(reads[k], static_cast<u8>((0xC3 + 0x29 * k) | 0x80));
    }
    add(low);
    add(high);
  }

  const std::vector<GoldenBytes> &answers() const { return answers_; }

 private:
  const GoldenList &list_;
  u16 item_;
  std::vector<GoldenBytes> answers_;
  std::set<GoldenBytes> seen_;
};

// Item names from the shipped DSNAMES.TXT files, for the comment lines.
std::map<u32, std::string> item_names() {
  std::map<u32, std::string> names;
  for (const char *dir : {"gm", "m154", "m70", "m72", "m797"}) {
    std::ifstream in(std::string(VAZ_DATA_DIR) + "/" + dir + "/DSNAMES.TXT");
    std::string line;
    while (std::getline(in, line)) {
      if (line.rfind("0x", 0) != 0) continue;
      const std::size_t space = line.find(' ');
      names[static_cast<u32>(std::stoul(line.substr(0, space), nullptr, 16))] = line.substr(space + 1);
    }
  }
  return names;
}

void write_line(std::ostream &out, const GoldenList &l, u16 item, const GoldenBytes &b) {
  std::string bytes = vaz::test::format_bytes(l.where, b);
  out << l.ecu << ' ' << l.name << ' ' << item << ' ' << bytes << (bytes.empty() ? "" : " ") << "-> \""
      << vaz::test::run_golden(l, item, b) << "\"\n";
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::cerr << "usage: make_formulas_golden OUTPUT\n";
    return 2;
  }
  std::ofstream out(argv[1]);
  out << "# Reference texts of every data formula, checked line by line by the\n"
         "# FormulaGolden test. Made by make_formulas_golden (its source beside this\n"
         "# file says how to run it); never edit a line by hand to make the test pass.\n"
         "#\n"
         "# ECU LIST ITEM BYTES -> \"TEXT\"\n"
         "#   LIST   the exported formula routine, ITEM its item number (0 and one past\n"
         "#          the end show what the routine does outside its list)\n"
         "#   BYTES  the answer: Dn=XX sets byte n of the data copy (Bosch, behind a\n"
         "#          short-form header), An=XX byte n of the answer buffer (GM); every\n"
         "#          other byte is 00\n"
         "#   TEXT   what the routine writes; state texts read T<text ID>, and\n"
         "#          \"untouched\" means the routine wrote nothing\n";
  const auto names = item_names();
  for (const GoldenList &l : vaz::test::golden_lists()) {
    out << "\n# ---- " << l.ecu << ' ' << l.name << " (" << l.items << " items)\n";
    for (u16 item = 0; item <= l.items + 1; ++item) {
      const auto name = names.find(l.nameHead + item);
      if (item >= 1 && item <= l.items && l.nameHead != 0 && name != names.end())
        out << "# " << item << ": " << name->second << '\n';
      ItemAnswers a(l, item);
      if (item == 0 || item > l.items) {
        write_line(out, l, item, {});
        continue;
      }
      a.choose();
      for (const GoldenBytes &b : a.answers()) write_line(out, l, item, b);
    }
  }
  return out ? 0 : 1;
}
