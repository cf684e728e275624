// The screens of the full-screen front end. Every loop redraws on a resize
// (KEY_RESIZE) and draws only a notice while the terminal is too small.
#include "curses_front_end.h"

#include "curses_draw.h"
#include "display_session.h"
#include "stream_log.h"
#include "stream_plot.h"
#include "ui_words.h"
#include "vaz_contracts.h"
#include "workbench/code_column.h"

#include <ncurses.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace stdhost {
namespace {

constexpr int kEsc = 27;

bool isEnter(int k) { return k == '\n' || k == '\r' || k == KEY_ENTER; }
bool isBack(int k) { return k == kEsc || k == KEY_BACKSPACE || k == 127 || k == 8; }

// Cursor movement shared by the lists: arrows, page keys, Home and End.
bool moveCursor(int k, int &cursor, int n) {
  const int page = std::max(1, draw::bodyRows() - 3);
  switch (k) {
    case KEY_UP: cursor -= 1; break;
    case KEY_DOWN: cursor += 1; break;
    case KEY_PPAGE: cursor -= page; break;
    case KEY_NPAGE: cursor += page; break;
    case KEY_HOME: cursor = 0; break;
    case KEY_END: cursor = n - 1; break;
    default: return false;
  }
  cursor = std::clamp(cursor, 0, std::max(0, n - 1));
  return true;
}

// Typed entry numbers: digits build a number while it names an entry, else start anew.
struct NumberJump {
  int typed = 0;
  bool take(int k, int n, int &cursor) {
    if (k < '0' || k > '9') {
      typed = 0;
      return false;
    }
    int d = k - '0';
    if (typed > 0 && typed * 10 + d <= n)
      typed = typed * 10 + d;
    else
      typed = d >= 1 && d <= n ? d : 0;
    if (typed > 0) cursor = typed - 1;
    return true;
  }
};

// The header: the session's control unit and the entries chosen on the way here.
std::string where(const std::string &own = "") {
  return session().path().header(own, CursesTerminal::showsUtf8() ? " \u203A " : " > ");
}

// A name cut to `width` columns shows that it was cut.
std::string shortened(const std::string &s, int width) {
  if (draw::columns(s) <= width || width < 2) return draw::fit(s, width);
  std::string head = draw::fit(s, width - 1);
  head.erase(head.find_last_not_of(' ') + 1);
  return draw::fit(head + (CursesTerminal::showsUtf8() ? "\u2026" : "~"), width);
}

// The selection box shows at most this many items on the live screen.
constexpr int kMaxShownItems = 40;

std::string numbered(std::size_t i, std::size_t n, const std::string &s) {
  std::string num = std::to_string(i + 1);
  std::string pad(std::to_string(n).size() - num.size(), ' ');
  return pad + num + ". " + s;
}

std::string buttonsRow(const std::vector<std::string> &names, int chosen) {
  std::string row;
  for (std::size_t i = 0; i < names.size(); ++i) {
    bool on = static_cast<int>(i) == chosen;
    row +=
        (i ? "  " : "") + std::string(on ? "[>" : "[ ") + std::to_string(i + 1) + " " + names[i] + (on ? "<]" : " ]");
  }
  return row;
}

}  // namespace

int CursesFrontEnd::key(int timeoutMs) {
  timeout(timeoutMs);
  return getch();
}

// A question's answer key: 1 yes (y, or Cyrillic д), -1 no (n, or н), 0 neither.
// The terminal sends a Cyrillic letter as two UTF-8 bytes, D0 then its second byte.
int CursesFrontEnd::answerKey(int k) {
  if (k == 'y' || k == 'Y') return 1;
  if (k == 'n' || k == 'N') return -1;
  if (k != 0xD0) return 0;
  const int second = key(50);
  if (second == 0xB4 || second == 0x94) return 1;   // д Д
  if (second == 0xBD || second == 0x9D) return -1;  // н Н
  return 0;
}

// ---- message boxes -------------------------------------------------------

int CursesFrontEnd::message(const MessageScreen &s) {
  if (!terminal_.open()) return questionStyle(s.style) ? questionStyle(s.style)->no : 0;
  const QuestionStyle *q = questionStyle(s.style);
  const bool notice = s.style == VAZ_BOX_NOTICE;  // shown while a request runs: nothing to wait for
  // A confirmation asks before something is done to the car, such as erasing its
  // trouble codes: a hasty Enter must not do it.
  bool yes = s.style != VAZ_BOX_CONFIRM;
  for (;;) {
    const char *keys = say(q ? Word::KeysQuestion : notice ? Word::PleaseWaitLower : Word::KeysContinue);
    if (draw::frame(where(s.title), keys)) {
      auto lines = draw::wrap(s.text, std::min(60, COLS - 8));
      if (s.commFailure)
        for (auto &l : draw::wrap(say(Word::CommFailureHint), std::min(60, COLS - 8))) lines.push_back(l);
      lines.push_back("");
      if (q)
        lines.push_back(say(yes ? Word::YesChosen : Word::NoChosen));
      else if (notice)
        lines.push_back(say(Word::PleaseWait));
      else
        lines.push_back("[> OK <]");
      draw::box(s.title, lines, 0);
      refresh();
    }
    if (notice) return 0;
    int k = key(-1);
    if (k == KEY_RESIZE || k == ERR) continue;
    if (!q) {
      if (isEnter(k) || isBack(k) || k == ' ') return 0;
      continue;
    }
    const int answer = answerKey(k);
    if (k == KEY_LEFT || k == KEY_RIGHT || k == '\t')
      yes = !yes;
    else if (answer > 0)
      return q->yes;
    else if (answer < 0 || isBack(k))
      return q->no;
    else if (isEnter(k))
      return yes ? q->yes : q->no;
  }
}

// ---- menu ------------------------------------------------------------------

int CursesFrontEnd::menu(const MenuScreen &s) {
  if (!terminal_.open()) return -1;
  const int n = static_cast<int>(s.entries.size());
  int cursor = std::clamp(s.preselect, 0, std::max(0, n - 1));
  NumberJump jump;
  for (;;) {
    if (draw::frame(where(s.title), say(Word::KeysMenu))) {
      const int rows = draw::bodyRows() - 1;
      const int top = draw::scrollTop(cursor, n, rows);
      for (int i = top; i < n && i - top < rows; ++i)
        draw::text(2 + i - top, 2,
                   numbered(static_cast<std::size_t>(i), s.entries.size(), s.entries[static_cast<std::size_t>(i)]),
                   COLS - 4, i == cursor ? A_REVERSE : 0);
      refresh();
    }
    int k = key(-1);
    if (k == KEY_RESIZE || k == ERR) continue;
    if (jump.take(k, n, cursor) || moveCursor(k, cursor, n)) continue;
    // Back from the top menu ends the session: a stray Esc must not do it.
    if (isBack(k) && (!session().path().atTop() || endConfirmed(s.title))) return -1;
    if (isEnter(k) && n > 0) return cursor;
  }
}

bool CursesFrontEnd::endConfirmed(const std::string &title) {
  MessageScreen q;
  q.style = 3;  // a confirmation: opens on No
  q.title = title;
  q.text = say(Word::EndSession);
  return message(q) != 3;
}

// ---- selection box -----------------------------------------------------------

std::optional<std::vector<bool>> CursesFrontEnd::select(const SelectScreen &s) {
  if (!terminal_.open()) return std::nullopt;
  const int n = static_cast<int>(s.items.size());
  std::vector<bool> ticks = s.ticked;
  ticks.resize(s.items.size(), false);
  // The plug-in hands in no selection: the ticks of the last time this list was shown stand in.
  const auto remembered = ticksOf_.find(s.items);
  if (std::none_of(ticks.begin(), ticks.end(), [](bool b) { return b; }) && remembered != ticksOf_.end())
    ticks = remembered->second;
  int cursor = 0;
  NumberJump jump;
  bool askTick = false;
  for (;;) {
    if (draw::frame(where(say(Word::SelectItems)), say(Word::KeysChecklist))) {
      const auto count = std::count(ticks.begin(), ticks.end(), true);
      std::string status =
          std::to_string(count) + " " + say(Word::Of) + " " + std::to_string(n) + " " + say(Word::Ticked);
      if (count > kMaxShownItems)
        status += "   " + std::string(say(Word::OnlyFirst40));
      else if (askTick && count == 0)
        status += "   " + std::string(say(Word::TickOne));
      draw::text(1, 2, status, COLS - 4, count > kMaxShownItems || askTick ? COLOR_PAIR(2) | A_BOLD : A_DIM);
      const int rows = draw::bodyRows() - 2;
      const int top = draw::scrollTop(cursor, n, rows);
      for (int i = top; i < n && i - top < rows; ++i) {
        std::string mark = ticks[static_cast<std::size_t>(i)] ? "[x] " : "[ ] ";
        draw::text(2 + i - top, 2,
                   numbered(static_cast<std::size_t>(i), s.items.size(), mark + s.items[static_cast<std::size_t>(i)]),
                   COLS - 4, i == cursor ? A_REVERSE : 0);
      }
      refresh();
    }
    int k = key(-1);
    if (k == KEY_RESIZE || k == ERR) continue;
    if (jump.take(k, n, cursor) || moveCursor(k, cursor, n)) continue;
    if (isBack(k)) return std::nullopt;
    if (isEnter(k)) {
      // Nothing ticked would open an empty table: ask again instead.
      askTick = n > 0 && std::none_of(ticks.begin(), ticks.end(), [](bool b) { return b; });
      if (askTick) continue;
      ticksOf_[s.items] = ticks;
      return ticks;
    }
    if (k == ' ' && n > 0) {
      ticks[static_cast<std::size_t>(cursor)] = !ticks[static_cast<std::size_t>(cursor)];
      cursor = std::min(cursor + 1, n - 1);
    } else if (k == 'a' || k == 'A') {
      const bool all = std::all_of(ticks.begin(), ticks.end(), [](bool b) { return b; });
      ticks.assign(ticks.size(), !all);
    }
  }
}

// ---- data stream ---------------------------------------------------------------

void CursesFrontEnd::toggleRecording() {
  if (log_.active()) {
    note_ = std::string(say(Word::RecordingStoppedNote)) + " " + std::to_string(log_.rows()) + " " + say(Word::RowsIn) +
            " " + log_.currentFile();
    log_.stop();
    return;
  }
  std::string error;
  std::string name = StreamLog::defaultName();
  note_ = log_.start(name, error) ? say(Word::RecordingTo) + (" " + name) : error;
}

void CursesFrontEnd::drawStream(const StreamScreen &s) {
  const bool ident = s.identification;
  const Word keys = ident ? Word::KeysIdentification : plotView_ ? Word::KeysTable : Word::KeysStream;
  if (!draw::frame(where(say(Word::LiveData)), say(keys))) return;
  const auto &items = stats_.items();
  const int n = static_cast<int>(items.size());
  // A note wider than the screen (a recording's whole path) takes two lines from the table.
  std::vector<std::string> note = note_.empty() ? std::vector<std::string>{} : draw::wrap(note_, COLS - 4);
  if (note.size() > 2) note.erase(note.begin() + 1, note.end() - 1);                   // the path's end says most
  const int rows = draw::bodyRows() - 2 - std::max(1, static_cast<int>(note.size()));  // status, header, note
  const int top = draw::scrollTop(streamCursor_, n, rows);
  std::string status = ident ? "" : say(Word::Pass) + (" " + std::to_string(s.pass));
  if (!plotView_ && n > rows)  // more rows than fit: say which are shown
    status += (status.empty() ? "" : "   ") + std::string(say(Word::Rows)) + " " + std::to_string(top + 1) + "-" +
              std::to_string(std::min(n, top + rows)) + " " + say(Word::Of) + " " + std::to_string(n);
  if (log_.active() && !ident) {
    // The file's name here; its whole path was in the note when the recording began.
    const std::string &file = log_.currentFile();
    status += "   " + std::string(say(Word::Rec)) + " " + file.substr(file.rfind('/') + 1) + " (" +
              std::to_string(log_.rows()) + " " + say(Word::Rows) + ")";
  }
  draw::text(1, 2, status, COLS - 4, log_.active() && !ident ? COLOR_PAIR(2) | A_BOLD : A_DIM);
  for (std::size_t i = 0; i < note.size(); ++i)
    draw::text(LINES - 1 - static_cast<int>(note.size() - i), 2, note[i], COLS - 4, A_DIM);

  if (plotView_ && !ident) {
    std::vector<std::size_t> chosen;
    for (std::size_t i = 0; i < marked_.size(); ++i)
      if (marked_[i]) chosen.push_back(i);
    if (chosen.empty() && n > 0) chosen.push_back(static_cast<std::size_t>(streamCursor_));
    auto lines = plotLines(items, chosen, COLS - 4, rows + 1);
    for (std::size_t i = 0; i < lines.size(); ++i) draw::text(2 + static_cast<int>(i), 2, lines[i], COLS - 4);
    refresh();
    return;
  }

  // Columns as wide as their contents: values sit next to their names on a
  // wide terminal; on a narrow one the names give way first, and values are
  // never cut.
  constexpr int kMinName = 12, kMinValue = 6, kMaxUnit = 8, kNum = 10;
  int nameW = draw::columns(say(Word::Name)), valueW = std::max(kMinValue, draw::columns(say(Word::Value))),
      unitW = draw::columns(say(Word::Unit));
  for (const auto &it : items) {
    nameW = std::max(nameW, draw::columns(it.label.name));
    valueW = std::max(valueW, draw::columns(it.value));
    unitW = std::max(unitW, draw::columns(it.label.unit));
  }
  unitW = std::min(unitW, kMaxUnit);
  const int width = COLS - 4 - 2;  // the mark column
  const int numbers = ident ? 0 : 2 * kNum;
  valueW = std::min(valueW, std::max(kMinValue, width - kMinName - 2 - unitW - 2 - numbers));
  nameW = std::clamp(width - valueW - 2 - unitW - 2 - numbers, std::min(nameW, kMinName), nameW);
  auto right = [](const std::string &v, int w) {
    int c = draw::columns(v);
    return c >= w ? draw::fit(v, w) : std::string(static_cast<std::size_t>(w - c), ' ') + v;
  };
  // Text values (identification fields) read from the left, numbers line up on the right.
  auto value = [&](const ItemStats &it) {
    return !ident && workbench::number_of(it.value) ? right(it.value, valueW) : draw::fit(it.value, valueW);
  };
  std::string head = "  " + draw::fit(say(Word::Name), nameW) + "  " +
                     (ident ? draw::fit(say(Word::Value), valueW) : right(say(Word::Value), valueW)) + "  " +
                     draw::fit(say(Word::Unit), unitW);
  if (!ident) head += right(say(Word::Min), kNum) + right(say(Word::Max), kNum);
  draw::text(2, 2, head, COLS - 4, A_BOLD | A_UNDERLINE);
  for (int i = top; i < n && i - top < rows; ++i) {
    const ItemStats &it = items[static_cast<std::size_t>(i)];
    std::string mark = marked_[static_cast<std::size_t>(i)] ? "* " : "  ";
    std::string line =
        mark + shortened(it.label.name, nameW) + "  " + value(it) + "  " + shortened(it.label.unit, unitW);
    if (!ident)
      line += right(it.min ? formatNumber(*it.min, it.decimals) : "-", kNum) +
              right(it.max ? formatNumber(*it.max, it.decimals) : "-", kNum);
    draw::text(3 + i - top, 2, line, COLS - 4, i == streamCursor_ ? A_REVERSE : 0);
  }
  refresh();
}

bool CursesFrontEnd::stream(const StreamScreen &s) {
  if (!terminal_.open()) return true;
  if (s.pass == 1) {
    streamCursor_ = 0;
    plotView_ = false;
    note_.clear();
  }
  stats_.take(s);
  if (marked_.size() != stats_.items().size() || s.pass == 1) marked_.assign(stats_.items().size(), false);
  const int n = static_cast<int>(stats_.items().size());
  streamCursor_ = std::clamp(streamCursor_, 0, std::max(0, n - 1));
  if (!log_.active() && !log_.lastError().empty() && note_.empty())
    note_ = say(Word::RecordingStoppedNote) + (" " + log_.lastError());
  drawStream(s);
  // Keys typed during the pass are all taken at once; no wait of our own, the line paces
  // the refresh.
  for (int wait = kStreamWaitMs;; wait = 0) {
    int k = key(wait);
    if (k == ERR) return false;
    if (isBack(k)) return true;
    if (s.identification && (k == 'p' || k == 'P' || k == 'r' || k == 'R' || k == ' ')) continue;
    if (k == 'p' || k == 'P')
      plotView_ = !plotView_;
    else if (k == 'r' || k == 'R')
      toggleRecording();
    else if (k == ' ' && n > 0)
      marked_[static_cast<std::size_t>(streamCursor_)] = !marked_[static_cast<std::size_t>(streamCursor_)];
    else if (k != KEY_RESIZE && !moveCursor(k, streamCursor_, n))
      continue;
    drawStream(s);
  }
}

// ---- trouble codes ----------------------------------------------------------------

void CursesFrontEnd::codes(const CodeScreen &s) {
  if (!terminal_.open()) return;
  const int n = static_cast<int>(s.codes.size());
  int cursor = 0;
  for (;;) {
    if (draw::frame(where(say(Word::TroubleCodes)), say(Word::KeysCodes))) {
      draw::text(1, 2, countOf(n, Word::CodeOne, Word::CodeMany), COLS - 4, A_DIM);
      // The status column only when some code has a status text.
      const bool status =
          std::any_of(s.codes.begin(), s.codes.end(), [](const NameValue &c) { return !c.value.empty(); });
      constexpr int kCode = 8, kStatus = 18;
      const int textW = std::max(10, COLS - 4 - kCode - (status ? kStatus + 2 : 0));
      draw::text(2, 2,
                 draw::fit(say(Word::Code), kCode) + draw::fit(say(Word::Text), textW) +
                     (status ? "  " + std::string(say(Word::Status)) : ""),
                 COLS - 4, A_BOLD | A_UNDERLINE);
      if (n == 0) draw::text(3, 2, say(Word::NoTroubleCodes), COLS - 4);
      const int rows = draw::bodyRows() - 2;
      const int top = draw::scrollTop(cursor, n, rows);
      for (int i = top; i < n && i - top < rows; ++i) {
        const NameValue &c = s.codes[static_cast<std::size_t>(i)];
        const workbench::CodeColumns cols = workbench::split_code(c.name);
        draw::text(3 + i - top, 2,
                   draw::fit(std::string(cols.code), kCode) + shortened(std::string(cols.text), textW) +
                       (status ? "  " + c.value : ""),
                   COLS - 4, i == cursor ? A_REVERSE : 0);
      }
      refresh();
    }
    int k = key(-1);
    if (k == KEY_RESIZE || k == ERR || moveCursor(k, cursor, n)) continue;
    if (isEnter(k) || isBack(k)) return;
  }
}

// ---- number input --------------------------------------------------------------------

int CursesFrontEnd::input(const InputScreen &s) {
  if (!terminal_.open()) return 0;
  constexpr std::size_t kMaxChars = 11;  // "-2147483648"
  std::string field;
  std::size_t at = 0;
  std::string error;
  // The prompt names the test: the entry chosen last.
  const std::string test = session().path().lastChosen();
  const std::string prompt = test.empty() ? s.prompt : test + ": " + s.prompt;
  struct CursorShown {  // the field's cursor, hidden again however the box ends
    CursorShown() { curs_set(1); }
    ~CursorShown() { curs_set(0); }
  } cursorShown;
  for (;;) {
    if (draw::frame(where(s.title), say(Word::KeysNumber))) {
      auto lines = draw::wrap(prompt, std::min(60, COLS - 8));
      lines.push_back("");
      const int fieldLine = static_cast<int>(lines.size());
      lines.push_back("> " + field);
      lines.push_back(error);
      int left = 0;
      const int top = draw::box(s.title, lines, 0, &left);
      move(top + 1 + fieldLine, left + 2 + 2 + static_cast<int>(at));
      refresh();
    }
    int k = key(-1);
    if (k == KEY_RESIZE || k == ERR) continue;
    if (k >= '0' && k <= '9' && field.size() < kMaxChars) {
      if (at == 0 && !field.empty() && field[0] == '-') continue;  // nothing goes before the sign
      field.insert(at++, 1, static_cast<char>(k));
      error.clear();
    } else if (k == '-' && at == 0 && (field.empty() || field[0] != '-') && field.size() < kMaxChars) {
      field.insert(0, 1, '-');
      at = 1;
      error.clear();
    } else if ((k == KEY_BACKSPACE || k == 127 || k == 8) && at > 0) {
      field.erase(--at, 1);
    } else if (k == KEY_DC && at < field.size()) {
      field.erase(at, 1);
    } else if (k == KEY_LEFT && at > 0) {
      --at;
    } else if (k == KEY_RIGHT && at < field.size()) {
      ++at;
    } else if (k == KEY_HOME) {
      at = 0;
    } else if (k == KEY_END) {
      at = field.size();
    } else if (k == kEsc) {
      return kNumberCancelled;  // refused by every value test: nothing is sent
    } else if (isEnter(k)) {
      char *end = nullptr;
      long long v = field.empty() || field == "-" ? 0 : std::strtoll(field.c_str(), &end, 10);
      if (field.empty() || field == "-" || *end != '\0')
        error = say(Word::WholeNumber);
      else if (v < kLowestNumber || v > INT_MAX)
        error = say(Word::NumberLimits);
      else
        return static_cast<int>(v);
    }
  }
}

// ---- active-test panel ---------------------------------------------------------------

void CursesFrontEnd::drawPanel(const PanelScreen &s) {
  if (!draw::frame(where(say(Word::ActiveTest)), say(Word::KeysPanel))) return;
  draw::text(1, 2, say(Word::Pass) + (" " + std::to_string(s.pass)), COLS - 4, A_DIM);
  const int nameW = std::max(10, COLS - 4 - 16);
  int row = 3;
  for (const auto &l : s.lines) {
    if (row >= LINES - 3) break;
    draw::text(row++, 2, draw::fit(l.name, nameW) + "  " + l.value, COLS - 4);
  }
  draw::text(LINES - 3, 2, buttonsRow(s.buttons, panelButton_), COLS - 4, A_BOLD);
  refresh();
}

int CursesFrontEnd::panel(const PanelScreen &s) {
  const int n = static_cast<int>(s.buttons.size());
  if (!terminal_.open()) return n - 1;
  if (s.pass == 1) panelButton_ = 0;
  panelButton_ = std::clamp(panelButton_, 0, std::max(0, n - 1));
  drawPanel(s);
  for (int wait = kPanelWaitMs;; wait = 0) {
    int k = key(wait);
    if (k == ERR) return -1;
    if (isEnter(k) && n > 0) return panelButton_;
    if (k >= '1' && k <= '9' && k - '1' < n) return panelButton_ = k - '1';
    if (isBack(k)) return n - 1;  // the last button finishes every panel
    if (k == KEY_LEFT || k == KEY_BTAB)
      panelButton_ = (panelButton_ + n - 1) % std::max(1, n);
    else if (k == KEY_RIGHT || k == '\t')
      panelButton_ = (panelButton_ + 1) % std::max(1, n);
    drawPanel(s);
  }
}

}  // namespace stdhost
