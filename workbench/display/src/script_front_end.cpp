// Script front end: matches each screen with the next script step.
#include "script_front_end.h"

#include "screen_render.h"
#include "utf8_text.h"

#include "workbench/printable.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <thread>

namespace stdhost {
namespace {

struct KindText {
  ScreenKind kind;
  const char *name;      // as named in transcript notes
  const char *fallback;  // what is answered when the script cannot
};
constexpr KindText kKindTexts[] = {
    {kMenuScreen, "menu", "back"},
    {kSelectScreen, "selection box", "back"},
    {kStreamScreen, "data stream", "back"},
    {kCodeScreen, "trouble-code list", "leave"},
    {kQuestionScreen, "question", "no"},
    {kInputScreen, "number input", "cancel"},
    {kPanelScreen, "active-test panel", "the last button"},
};

const KindText &kindText(ScreenKind k) {
  for (const auto &t : kKindTexts)
    if (t.kind == k) return t;
  return kKindTexts[0];
}

// Entries are matched in the session's language: "choose сохранённые коды
// неисправностей" finds "Сохранённые коды неисправностей".
bool sameText(const std::string &a, const std::string &b) { return utf8::fold(a) == utf8::fold(b); }

// Position (0-based) named by a choose/press step among `names`, -1 if none.
int findChoice(const Step &step, const std::vector<std::string> &names) {
  if (step.position > 0) return step.position <= static_cast<int>(names.size()) ? step.position - 1 : -1;
  for (std::size_t i = 0; i < names.size(); ++i)
    if (sameText(names[i], step.text)) return static_cast<int>(i);
  return -1;
}

std::string choiceWhy(const Step &step, const char *what) {
  return step.position > 0 ? std::string("no ") + what + " " + std::to_string(step.position)
                           : std::string("no ") + what + " '" + workbench::printable(step.text) + "'";
}

}  // namespace

void ScriptFrontEnd::emit() {
  if (out_.keep) transcript_ += page_;
  std::size_t done = 0;
  while (out_.fd >= 0 && done < page_.size()) {
    ssize_t n = ::write(out_.fd, page_.data() + done, page_.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      out_.fd = -1;  // a closed or full output: the session goes on, the transcript stops
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  page_.clear();
}

void ScriptFrontEnd::fault(const Step &step, ScreenKind kind, const std::string &why) {
  misfit_ = true;
  page_ += "! script line " + std::to_string(step.line) + " '" + workbench::printable(step.source) + "': " + why +
           "; answering " + kindText(kind).fallback + "\n";
}

const Step *ScriptFrontEnd::take(ScreenKind kind) {
  if (running_) {
    if (runningKind_ == kind) return running_;
    running_ = nullptr;  // the screen it counted passes of has gone
  }
  while (at_ < steps_.size() && steps_[at_].rule->verb == Verb::Wait) {
    const Step &wait = steps_[at_++];
    std::this_thread::sleep_for(std::chrono::seconds(wait.value));
    page_ += "(waited " + std::to_string(wait.value) + " s)\n";
  }
  if (at_ >= steps_.size()) {
    if (!endNoted_) page_ += "! script ended: answering back from here on\n";
    endNoted_ = true;
    return nullptr;
  }
  const Step &step = steps_[at_++];
  if ((step.rule->fits & kind) == 0) {
    fault(step, kind, std::string("does not fit the ") + kindText(kind).name);
    return nullptr;
  }
  return &step;
}

int ScriptFrontEnd::message(const MessageScreen &s) {
  page_ += renderMessage(s);
  const QuestionStyle *q = questionStyle(s.style);
  if (!q) {
    emit();
    return 0;
  }
  const Step *step = take(kQuestionScreen);
  bool yes = step && step->rule->verb == Verb::Yes;
  page_ += answerLine(yes ? "yes" : "no");
  emit();
  return yes ? q->yes : q->no;
}

int ScriptFrontEnd::menu(const MenuScreen &s) {
  page_ += renderMenu(s);
  int chosen = -1;
  if (const Step *step = take(kMenuScreen); step && step->rule->verb == Verb::Choose) {
    chosen = findChoice(*step, s.entries);
    if (chosen < 0) fault(*step, kMenuScreen, choiceWhy(*step, "entry"));
  }
  page_ += answerMenu(s, chosen);
  emit();
  return chosen;
}

std::optional<std::vector<bool>> ScriptFrontEnd::select(const SelectScreen &s) {
  page_ += renderSelect(s);
  std::optional<std::vector<bool>> result;
  if (const Step *step = take(kSelectScreen); step && step->rule->verb == Verb::Tick) {
    std::vector<bool> ticks(s.items.size(), step->all);
    bool ok = true;
    for (int p : step->positions) {
      if (p > static_cast<int>(s.items.size())) {
        fault(*step, kSelectScreen, "no item " + std::to_string(p));
        ok = false;
        break;
      }
      ticks[p - 1] = true;
    }
    if (ok) result = std::move(ticks);
  }
  page_ += answerSelect(result);
  emit();
  return result;
}

bool ScriptFrontEnd::stream(const StreamScreen &s) {
  appendStream(page_, s);
  bool back = true;
  if (const Step *step = take(kStreamScreen); step && step->rule->verb == Verb::Stay) {
    if (running_ != step) {
      running_ = step;
      runningKind_ = kStreamScreen;
      remaining_ = step->value;
    }
    back = --remaining_ <= 0;
    if (back) running_ = nullptr;
  }
  page_ += back ? "> back\n\n" : "> stay\n\n";  // answerLine's words, without a string made
  emit();
  return back;
}

void ScriptFrontEnd::codes(const CodeScreen &s) {
  page_ += renderCodes(s);
  take(kCodeScreen);  // every fitting step means leaving the list
  page_ += answerLine("leave");
  emit();
}

int ScriptFrontEnd::input(const InputScreen &s) {
  page_ += renderInput(s);
  // Without a fitting step the box is cancelled, as Esc does: a number no
  // value test takes, so nothing is sent.
  const Step *step = take(kInputScreen);
  if (!step) {
    page_ += answerLine("cancel");
    emit();
    return kNumberCancelled;
  }
  int value = static_cast<int>(step->value);
  page_ += answerLine(std::to_string(value));
  emit();
  return value;
}

int ScriptFrontEnd::panel(const PanelScreen &s) {
  page_ += renderPanel(s);
  // Without an answer the last button is pressed: on every panel of this
  // system it is the one that ends the panel, so a session always ends.
  const int last = static_cast<int>(s.buttons.size()) - 1;
  int button = last;
  if (const Step *step = take(kPanelScreen)) {
    if (step->rule->verb == Verb::Idle) {
      if (running_ != step) {
        running_ = step;
        runningKind_ = kPanelScreen;
        remaining_ = step->value;
      }
      if (--remaining_ <= 0) running_ = nullptr;
      button = -1;
    } else {
      button = findChoice(*step, s.buttons);
      if (button < 0) {
        fault(*step, kPanelScreen, choiceWhy(*step, "button"));
        button = last;
      }
    }
  }
  page_ += answerPanel(s, button);
  emit();
  return button;
}

}  // namespace stdhost
