// Terminal front end. At end of input it answers Back everywhere, so a session
// fed from a closed pipe still ends.
#include "terminal_front_end.h"

#include "display_session.h"
#include "screen_render.h"
#include "ui_words.h"

#include <poll.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>

namespace stdhost {
namespace {

std::string trimmed(const std::string &s) {
  std::size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

bool toInt(const std::string &s, long &v) {
  std::string_view t(s);
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  return !t.empty() && ec == std::errc() && p == t.data() + t.size();
}

bool isBack(const std::string &s) { return s == "b" || s == "B"; }

}  // namespace

LineReader::Result LineReader::read(std::string &line, int timeoutMs) {
  while (true) {
    if (auto nl = buffer_.find('\n'); nl != std::string::npos) {
      line = buffer_.substr(0, nl);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      buffer_.erase(0, nl + 1);
      return Result::Line;
    }
    if (eof_) {
      if (buffer_.empty()) return Result::End;
      line = std::move(buffer_);  // a last line without its newline still counts
      buffer_.clear();
      return Result::Line;
    }
    pollfd p{fd_, POLLIN, 0};
    int r = ::poll(&p, 1, timeoutMs);
    if (r < 0 && errno == EINTR) continue;
    if (r == 0) return Result::Timeout;
    if (r < 0) {
      eof_ = true;
      continue;
    }
    char chunk[512];
    ssize_t n = ::read(fd_, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      eof_ = true;
      continue;
    }
    buffer_.append(chunk, static_cast<std::size_t>(n));
  }
}

void TerminalFrontEnd::write(const std::string &text) {
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(outFd_, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

bool TerminalFrontEnd::ask(Word prompt, std::string &line) {
  // A word ends in no blank; the answer is typed after one.
  write(std::string(say(prompt)) + " ");
  if (in_.read(line, -1) != LineReader::Result::Line) {
    write("\n" + std::string(say(Word::EndOfInput)) + "\n");
    return false;
  }
  line = trimmed(line);
  return true;
}

int TerminalFrontEnd::message(const MessageScreen &s) {
  write(renderPlainMessage(s));
  if (s.commFailure) write(std::string(say(Word::CommFailureHint)) + "\n");
  const QuestionStyle *q = questionStyle(s.style);
  if (!q) return 0;
  std::string line;
  while (ask(Word::PromptYesNo, line)) {
    if (line == "y" || line == "Y" || line == "\u0434" || line == "\u0414") return q->yes;  // д Д
    if (line == "n" || line == "N" || line == "\u043D" || line == "\u041D") return q->no;   // н Н
  }
  return q->no;
}

int TerminalFrontEnd::menu(const MenuScreen &s) {
  write(renderMenu(s));
  std::string line;
  while (ask(Word::PromptNumberOrBack, line)) {
    if (isBack(line)) return -1;
    long v = 0;
    if (toInt(line, v) && v >= 1 && v <= static_cast<long>(s.entries.size())) return static_cast<int>(v - 1);
  }
  return -1;
}

std::optional<std::vector<bool>> TerminalFrontEnd::select(const SelectScreen &s) {
  write(renderSelect(s));
  std::string line;
  while (ask(Word::PromptNumbersOrBack, line)) {
    if (isBack(line)) return std::nullopt;
    std::vector<bool> ticks(s.items.size(), false);
    if (line == "a" || line == "A") return std::vector<bool>(s.items.size(), true);
    bool ok = !line.empty();
    std::string tok;
    for (std::size_t i = 0; i <= line.size() && ok; ++i) {
      if (i < line.size() && line[i] != ',' && !std::isspace(static_cast<unsigned char>(line[i]))) {
        tok += line[i];
        continue;
      }
      if (tok.empty()) continue;
      long v = 0;
      ok = toInt(tok, v) && v >= 1 && v <= static_cast<long>(s.items.size());
      if (ok) ticks[v - 1] = true;
      tok.clear();
    }
    if (ok) return ticks;
  }
  return std::nullopt;
}

bool TerminalFrontEnd::stream(const StreamScreen &s) {
  page_.clear();
  appendStream(page_, s);  // into a reused buffer: a pass touches no heap
  write(page_);
  if (s.pass == 1) write(std::string(say(Word::PressEnterBack)) + "\n");
  // A line typed meanwhile is noticed at once; no wait of our own, so the refresh runs at
  // the pace of the line.
  std::string line;
  return in_.read(line, 0) != LineReader::Result::Timeout;  // a line or end of input
}

void TerminalFrontEnd::codes(const CodeScreen &s) {
  write(renderCodes(s));
  std::string line;
  ask(Word::PromptLeave, line);
}

int TerminalFrontEnd::input(const InputScreen &s) {
  // The prompt names the test: the entry chosen last.
  const std::string test = session().path().lastChosen();
  InputScreen named = s;
  if (!test.empty()) named.prompt = test + ": " + s.prompt;
  write(renderPlainInput(named));
  std::string line;
  while (ask(Word::PromptNumberOrBack, line)) {
    if (isBack(trimmed(line))) return kNumberCancelled;
    long v = 0;
    if (toInt(line, v) && v >= kLowestNumber && v <= INT_MAX) return static_cast<int>(v);
  }
  return kNumberCancelled;  // end of input
}

int TerminalFrontEnd::panel(const PanelScreen &s) {
  write(renderPanel(s));
  const int last = static_cast<int>(s.buttons.size()) - 1;
  if (s.pass == 1) write(std::string(say(Word::TypeButton)) + "\n");
  std::string line;
  switch (in_.read(line, kRefreshMs)) {
    case LineReader::Result::Timeout: return -1;
    case LineReader::Result::End: return last;  // the finishing button, so the panel ends
    case LineReader::Result::Line: break;
  }
  long v = 0;
  if (toInt(trimmed(line), v) && v >= 1 && v <= static_cast<long>(s.buttons.size())) return static_cast<int>(v - 1);
  return -1;
}

}  // namespace stdhost
