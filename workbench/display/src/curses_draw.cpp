// Drawing helpers of the full-screen front end.
#include "curses_draw.h"

#include "ui_words.h"
#include "utf8_text.h"

#include <ncurses.h>

#include <algorithm>

namespace stdhost::draw {

int columns(const std::string &s) { return utf8::width(s); }

std::string fit(const std::string &s, int width) { return utf8::fit(s, width); }

int bodyRows() { return std::max(0, LINES - 2); }

bool frame(const std::string &title, const std::string &keys) {
  erase();
  if (COLS < kMinCols || LINES < kMinRows) {
    std::string note = say(Word::TerminalTooSmall);
    std::string need = "(" + std::to_string(kMinCols) + "x" + std::to_string(kMinRows) + " " + say(Word::Needed) + ")";
    mvaddnstr(std::max(0, LINES / 2 - 1), 0, note.c_str(), COLS);
    if (LINES > 1) mvaddnstr(LINES / 2, 0, need.c_str(), COLS);
    refresh();
    return false;
  }
  text(0, 0, " vazdiag | " + title, COLS, A_REVERSE | COLOR_PAIR(1));
  text(LINES - 1, 0, " " + keys, COLS, A_REVERSE | COLOR_PAIR(1));
  return true;
}

void text(int row, int col, const std::string &s, int width, int attrs) {
  if (row < 0 || row >= LINES || col >= COLS) return;
  width = std::min(width, COLS - col);
  if (width <= 0) return;
  attron(attrs);
  mvaddstr(row, col, fit(s, width).c_str());
  attroff(attrs);
}

std::vector<std::string> wrap(const std::string &s, int width) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start <= s.size()) {
    std::size_t nl = s.find('\n', start);
    std::string para = s.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
    std::string line, word;
    auto flush = [&] {
      if (word.empty()) return;
      if (!line.empty() && columns(line) + 1 + columns(word) > width) {
        out.push_back(line);
        line.clear();
      }
      while (columns(word) > width) {  // a word longer than the line is cut
        std::string head = fit(word, width);
        head.erase(head.find_last_not_of(' ') + 1);
        out.push_back(head);
        word = word.substr(head.size());
      }
      line += (line.empty() ? "" : " ") + word;
      word.clear();
    };
    for (char c : para) {
      if (c == ' ')
        flush();
      else
        word += c;
    }
    flush();
    out.push_back(line);
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  return out;
}

int box(const std::string &title, const std::vector<std::string> &lines, int extraRows, int *leftColumn) {
  int inner = 0;
  for (const auto &l : lines) inner = std::max(inner, columns(l));
  inner = std::clamp(std::max(inner, columns(title) + 2), 20, COLS - 4);
  int height = static_cast<int>(lines.size()) + extraRows + 2;
  height = std::min(height, bodyRows());
  int top = 1 + std::max(0, (bodyRows() - height) / 2);
  int left = std::max(0, (COLS - inner - 4) / 2);
  if (leftColumn) *leftColumn = left;
  for (int r = 0; r < height; ++r) text(top + r, left, "", inner + 4);
  mvhline(top, left, ACS_HLINE, inner + 4);
  mvhline(top + height - 1, left, ACS_HLINE, inner + 4);
  mvvline(top, left, ACS_VLINE, height);
  mvvline(top, left + inner + 3, ACS_VLINE, height);
  mvaddch(top, left, ACS_ULCORNER);
  mvaddch(top, left + inner + 3, ACS_URCORNER);
  mvaddch(top + height - 1, left, ACS_LLCORNER);
  mvaddch(top + height - 1, left + inner + 3, ACS_LRCORNER);
  text(top, left + 2, " " + title + " ", std::min(columns(title) + 2, inner), A_BOLD);
  for (std::size_t i = 0; i < lines.size() && static_cast<int>(i) + 1 < height - 1; ++i)
    text(top + 1 + static_cast<int>(i), left + 2, lines[i], inner);
  return top;
}

int scrollTop(int cursor, int n, int rows) {
  if (rows <= 0 || n <= rows) return 0;
  int top = cursor - rows / 2;
  return std::clamp(top, 0, n - rows);
}

}  // namespace stdhost::draw
