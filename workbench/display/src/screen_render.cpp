// Text pictures of the screens, one block per screen.
#include "screen_render.h"

namespace stdhost {
namespace {

std::string lines(const std::vector<NameValue>& items) {
  std::string out;
  for (const auto& l : items) out += "  " + l.name + ": " + l.value + "\n";
  return out;
}

}  // namespace

std::string renderMessage(const MessageScreen& s) {
  std::string out = "[message, style " + std::to_string(s.style) + "] " + s.title + "\n" + s.text + "\n";
  if (!questionStyle(s.style)) out += "\n";  // a notice has no answer line
  return out;
}

std::string renderMenu(const MenuScreen& s) {
  std::string out = "[menu] " + s.title + "\n";
  for (std::size_t i = 0; i < s.entries.size(); ++i)
    out += "  " + std::to_string(i + 1) + ". " + s.entries[i] + "\n";
  return out;
}

std::string renderSelect(const SelectScreen& s) {
  std::string out = "[select items]\n";
  for (std::size_t i = 0; i < s.items.size(); ++i) {
    bool on = i < s.ticked.size() && s.ticked[i];
    out += "  " + std::to_string(i + 1) + ". [" + (on ? "x" : " ") + "] " + s.items[i] + "\n";
  }
  return out;
}

std::string renderStream(const StreamScreen& s) {
  return "[data stream, pass " + std::to_string(s.pass) + "]\n" + lines(s.lines);
}

std::string renderCodes(const CodeScreen& s) {
  std::string out = "[trouble codes]\n";
  for (const auto& c : s.codes)
    out += "  " + c.name + (c.value.empty() ? "" : " (" + c.value + ")") + "\n";
  return out;
}

std::string renderInput(const InputScreen& s) {
  return "[number input] " + s.title + "\n" + s.prompt + "\n";
}

std::string renderPanel(const PanelScreen& s) {
  std::string out = "[active test, pass " + std::to_string(s.pass) + "]";
  for (std::size_t i = 0; i < s.buttons.size(); ++i)
    out += (i ? "  " : " buttons: ") + std::to_string(i + 1) + ". " + s.buttons[i];
  return out + "\n" + lines(s.lines);
}

std::string answerLine(const std::string& what) { return "> " + what + "\n\n"; }

std::string answerMenu(const MenuScreen& s, int position) {
  if (position < 0 || position >= static_cast<int>(s.entries.size())) return answerLine("back");
  return answerLine(std::to_string(position + 1) + ". " + s.entries[position]);
}

std::string answerSelect(const std::optional<std::vector<bool>>& ticks) {
  if (!ticks) return answerLine("back");
  std::string list;
  for (std::size_t i = 0; i < ticks->size(); ++i)
    if ((*ticks)[i]) list += (list.empty() ? "" : ", ") + std::to_string(i + 1);
  return answerLine("tick " + (list.empty() ? std::string("none") : list));
}

std::string answerPanel(const PanelScreen& s, int button) {
  if (button < 0 || button >= static_cast<int>(s.buttons.size())) return answerLine("no button");
  return answerLine("press " + std::to_string(button + 1) + ". " + s.buttons[button]);
}

}  // namespace stdhost
