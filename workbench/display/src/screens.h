// The screens the plug-in asks for, with every text ID already resolved to its
// text, and the front end that shows them and answers for the user.
#pragma once

#include "vaz_contracts.h"
#include "workbench/live_value.h"

#include <optional>
#include <string>
#include <vector>

namespace stdhost {

struct MessageScreen {
  int style = 1;
  std::string title;
  std::string text;
  bool commFailure = false;  // no control unit could be talked to: the box says what to check
};

struct MenuScreen {
  std::string title;
  std::vector<std::string> entries;
  int preselect = 0;
};

struct SelectScreen {
  std::vector<std::string> items;
  std::vector<bool> ticked;  // the selection handed in, one flag per item
};

struct NameValue {
  std::string name;
  std::string value;
};

// A live-data item as read once, by the one rule, when its line is added: name and unit
// apart, and its value as a number where it is one.
struct LiveItem {
  workbench::NameUnit label;
  std::optional<double> number;
};

struct StreamScreen {
  std::vector<NameValue> lines;  // name and value as shown
  std::vector<LiveItem> items;   // one per line
  int pass = 1;                  // refresh pass of this stream, from 1
  // Identification fields, not live values: shown whole, without pass
  // counter, minimum, maximum, plot or recording.
  bool identification = false;
};

struct CodeScreen {
  std::vector<NameValue> codes;  // code text, status text ("" = none)
};

struct InputScreen {
  std::string title;
  std::string prompt;
};

struct PanelScreen {
  std::vector<std::string> buttons;
  std::vector<NameValue> lines;
  int pass = 1;
};

// Message-box styles that ask the user, and what each answer returns.
struct QuestionStyle {
  int style;
  int yes;
  int no;
};
inline constexpr QuestionStyle kQuestionStyles[] = {
    {2, 1, 0},  // two-way question: non-zero is yes
    {3, 1, 3},  // confirmation: 3 is declined
};
inline const QuestionStyle *questionStyle(int style) {
  for (const auto &q : kQuestionStyles)
    if (q.style == style) return &q;
  return nullptr;
}

// What a cancelled number box returns: below every range a value test takes
// (each refuses it, so nothing is sent). No front end takes it as an entry:
// the lowest number a user can enter is one above it.
inline constexpr int kNumberCancelled = VAZ_INPUT_CANCELLED;
inline constexpr long long kLowestNumber = kNumberCancelled + 1LL;

class FrontEnd {
 public:
  virtual ~FrontEnd() = default;
  // Result as the plug-in expects it: 0 for notices, else the question's answer.
  virtual int message(const MessageScreen &s) = 0;
  // 0-based position of the chosen entry, -1 = Back.
  virtual int menu(const MenuScreen &s) = 0;
  // The new selection, or nothing for Back.
  virtual std::optional<std::vector<bool>> select(const SelectScreen &s) = 0;
  // true = Back.
  virtual bool stream(const StreamScreen &s) = 0;
  virtual void codes(const CodeScreen &s) = 0;
  // The number entered, or kNumberCancelled.
  virtual int input(const InputScreen &s) = 0;
  // 0-based button index, or -1 when no button was pressed.
  virtual int panel(const PanelScreen &s) = 0;
  virtual const std::string &transcript() const = 0;
  // The session is over: give back what the front end holds (the terminal).
  virtual void finish() {}
  // A script step did not fit its screen (only a script can misfit).
  virtual bool misfit() const { return false; }
};

}  // namespace stdhost
