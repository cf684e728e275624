// The screen observer: StdSetObserver and the events handed to it.
#include "screen_observer.h"

#include "display_session.h"
#include "std_export.h"
#include "std_observer.h"

namespace stdhost {
namespace {

StdObserver gObserver = nullptr;
void *gContext = nullptr;

// Holds the C view of one screen's lines while the observer runs.
struct Lines {
  std::vector<StdShownLine> c;
  explicit Lines(const std::vector<NameValue> &lines) {
    c.reserve(lines.size());
    for (const auto &l : lines) c.push_back(line(l.name.c_str(), l.value.c_str()));
  }
  static StdShownLine line(const char *name, const char *value) { return {name, value, name, "", 0, 0.0}; }
};

void tell(StdShown e, const std::vector<StdShownLine> &lines = {}) {
  // Refilled in place, as the stream's lines are: a live-data pass costs no allocation.
  static std::vector<const char *> path;
  const ScreenPath &where = session().path();
  path.clear();
  for (std::size_t i = 0; i < where.depth(); ++i) path.push_back(where.chosen(i).c_str());
  e.path = path.data();
  e.pathLength = static_cast<int>(path.size());
  e.lines = lines.data();
  e.lineCount = static_cast<int>(lines.size());
  if (e.title == nullptr) e.title = "";
  if (e.text == nullptr) e.text = "";
  gObserver(&e, gContext);
}

}  // namespace

void observeMessage(const MessageScreen &s, int answer, unsigned textId) {
  if (!gObserver) return;
  tell({STD_SHOWN_MESSAGE, s.style, answer, 0, 0, s.title.c_str(), s.text.c_str(), nullptr, 0, textId, nullptr, 0});
}

void observeMenu(const MenuScreen &s, int chosen) {
  if (!gObserver) return;
  std::vector<StdShownLine> entries;
  for (const auto &e : s.entries) entries.push_back(Lines::line(e.c_str(), ""));
  const char *text = chosen >= 0 && chosen < static_cast<int>(s.entries.size()) ? s.entries[chosen].c_str() : "";
  tell({STD_SHOWN_MENU, 0, chosen, 0, 0, s.title.c_str(), text, nullptr, 0, 0, nullptr, 0}, entries);
}

void observeSelect(const SelectScreen &s, const std::optional<std::vector<bool>> &ticks) {
  if (!gObserver) return;
  std::vector<StdShownLine> items;
  for (std::size_t i = 0; i < s.items.size(); ++i)
    items.push_back(Lines::line(s.items[i].c_str(), ticks && i < ticks->size() && (*ticks)[i] ? "x" : ""));
  tell({STD_SHOWN_SELECT, 0, ticks ? 0 : 1, 0, 0, nullptr, nullptr, nullptr, 0, 0, nullptr, 0}, items);
}

void observeStream(const StreamScreen &s, bool recording) {
  if (!gObserver) return;
  // A pass after pass: the C view is refilled in place, so that telling costs no allocation.
  static std::vector<StdShownLine> lines;
  lines.clear();
  for (std::size_t i = 0; i < s.lines.size(); ++i) {
    const NameValue &l = s.lines[i];
    const LiveItem &item = s.items[i];
    if (s.identification) {
      lines.push_back(Lines::line(l.name.c_str(), l.value.c_str()));
      continue;
    }
    lines.push_back({l.name.c_str(), l.value.c_str(), item.label.name.c_str(), item.label.unit.c_str(),
                     item.number ? 1 : 0, item.number.value_or(0.0)});
  }
  const int kind = s.identification ? STD_SHOWN_IDENTIFICATION : STD_SHOWN_STREAM;
  tell({kind, 0, 0, s.pass, recording ? 1 : 0, nullptr, nullptr, nullptr, 0, 0, nullptr, 0}, lines);
}

void observeCodes(const CodeScreen &s) {
  if (!gObserver) return;
  tell({STD_SHOWN_CODES, 0, 0, 0, 0, nullptr, nullptr, nullptr, 0, 0, nullptr, 0}, Lines(s.codes).c);
}

void observeInput(const InputScreen &s, int value) {
  if (!gObserver) return;
  tell({STD_SHOWN_INPUT, 0, value, 0, 0, s.title.c_str(), s.prompt.c_str(), nullptr, 0, 0, nullptr, 0});
}

void observePanel(const PanelScreen &s, int button) {
  if (!gObserver) return;
  const char *text = button >= 0 && button < static_cast<int>(s.buttons.size()) ? s.buttons[button].c_str() : "";
  tell({STD_SHOWN_PANEL, 0, button, s.pass, 0, nullptr, text, nullptr, 0, 0, nullptr, 0}, Lines(s.lines).c);
}

}  // namespace stdhost

STD_EXPORT void StdSetObserver(StdObserver observer, void *context) {
  stdhost::gObserver = observer;
  stdhost::gContext = context;
}
