// Text pictures of the screens, one block per screen. Every text shown comes from files or
// the plug-in, so its control characters are shown escaped: a stray byte in a data file
// must not move the cursor or clear the user's terminal. A message's own line breaks stay.
#include "screen_render.h"

#include "workbench/printable.h"

#include <charconv>

namespace stdhost {
namespace {

void put(std::string &out, const std::string &text) { workbench::append_printable(out, text); }

// Line breaks kept, every other control character escaped.
void putLines(std::string &out, const std::string &text) { workbench::append_printable_lines(out, text); }

void putNumber(std::string &out, long n) {
  char buf[24];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, n);
  out.append(buf, end);
}

void lines(std::string &out, const std::vector<NameValue> &items) {
  for (const auto &l : items) {
    out += "  ";
    put(out, l.name);
    out += ": ";
    put(out, l.value);
    out += '\n';
  }
}

}  // namespace

std::string renderMessage(const MessageScreen &s) {
  std::string out = "[message, style " + std::to_string(s.style) + "] ";
  put(out, s.title);
  out += '\n';
  putLines(out, s.text);
  out += '\n';
  if (!questionStyle(s.style)) out += "\n";  // a notice has no answer line
  return out;
}

// For people at the line front end: the title and the text, no markup.
std::string renderPlainMessage(const MessageScreen &s) {
  std::string out;
  put(out, s.title);
  out += '\n';
  putLines(out, s.text);
  out += '\n';
  if (!questionStyle(s.style)) out += "\n";  // a notice has no answer line
  return out;
}

std::string renderPlainInput(const InputScreen &s) {
  std::string out;
  put(out, s.title);
  out += '\n';
  putLines(out, s.prompt);
  out += '\n';
  return out;
}

std::string renderMenu(const MenuScreen &s) {
  std::string out = "[menu] ";
  put(out, s.title);
  out += '\n';
  for (std::size_t i = 0; i < s.entries.size(); ++i) {
    out += "  " + std::to_string(i + 1) + ". ";
    put(out, s.entries[i]);
    out += '\n';
  }
  return out;
}

std::string renderSelect(const SelectScreen &s) {
  std::string out = "[select items]\n";
  for (std::size_t i = 0; i < s.items.size(); ++i) {
    bool on = i < s.ticked.size() && s.ticked[i];
    out += "  " + std::to_string(i + 1) + ". [" + (on ? "x" : " ") + "] ";
    put(out, s.items[i]);
    out += '\n';
  }
  return out;
}

void appendStream(std::string &out, const StreamScreen &s) {
  out += "[data stream, pass ";
  putNumber(out, s.pass);
  out += "]\n";
  lines(out, s.lines);
}

std::string renderStream(const StreamScreen &s) {
  std::string out;
  appendStream(out, s);
  return out;
}

std::string renderCodes(const CodeScreen &s) {
  std::string out = "[trouble codes]\n";
  for (const auto &c : s.codes) {
    out += "  ";
    put(out, c.name);
    if (!c.value.empty()) {
      out += " (";
      put(out, c.value);
      out += ')';
    }
    out += '\n';
  }
  return out;
}

std::string renderInput(const InputScreen &s) {
  std::string out = "[number input] ";
  put(out, s.title);
  out += '\n';
  putLines(out, s.prompt);
  out += '\n';
  return out;
}

std::string renderPanel(const PanelScreen &s) {
  std::string out = "[active test, pass " + std::to_string(s.pass) + "]";
  for (std::size_t i = 0; i < s.buttons.size(); ++i) {
    out += (i ? "  " : " buttons: ") + std::to_string(i + 1) + ". ";
    put(out, s.buttons[i]);
  }
  out += '\n';
  lines(out, s.lines);
  return out;
}

std::string answerLine(const std::string &what) { return "> " + what + "\n\n"; }

std::string answerMenu(const MenuScreen &s, int position) {
  if (position < 0 || position >= static_cast<int>(s.entries.size())) return answerLine("back");
  std::string entry;
  put(entry, s.entries[position]);
  return answerLine(std::to_string(position + 1) + ". " + entry);
}

std::string answerSelect(const std::optional<std::vector<bool>> &ticks) {
  if (!ticks) return answerLine("back");
  std::string list;
  for (std::size_t i = 0; i < ticks->size(); ++i)
    if ((*ticks)[i]) list += (list.empty() ? "" : ", ") + std::to_string(i + 1);
  return answerLine("tick " + (list.empty() ? std::string("none") : list));
}

std::string answerPanel(const PanelScreen &s, int button) {
  if (button < 0 || button >= static_cast<int>(s.buttons.size())) return answerLine("no button");
  std::string name;
  put(name, s.buttons[button]);
  return answerLine("press " + std::to_string(button + 1) + ". " + name);
}

}  // namespace stdhost
