// The script language of the script front end: one step a line, each step the
// user's answer to one screen (see workbench/display/README.md).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace stdhost {

enum ScreenKind : unsigned {
  kMenuScreen = 1,
  kSelectScreen = 2,
  kStreamScreen = 4,
  kCodeScreen = 8,
  kQuestionScreen = 16,
  kInputScreen = 32,
  kPanelScreen = 64,
};

enum class Verb { Choose, Back, Tick, Stay, Leave, Yes, No, Enter, Press, Idle, Wait };
enum class ArgShape { None, PositionOrText, TickList, Count, Integer };

struct VerbRule {
  const char *word;
  Verb verb;
  ArgShape arg;
  unsigned fits;  // ScreenKind bits of the screens this step answers
};

inline constexpr VerbRule kVerbs[] = {
    {"choose", Verb::Choose, ArgShape::PositionOrText, kMenuScreen},
    {"back", Verb::Back, ArgShape::None, kMenuScreen | kSelectScreen | kStreamScreen | kCodeScreen},
    {"tick", Verb::Tick, ArgShape::TickList, kSelectScreen},
    {"stay", Verb::Stay, ArgShape::Count, kStreamScreen},
    {"leave", Verb::Leave, ArgShape::None, kCodeScreen},
    {"yes", Verb::Yes, ArgShape::None, kQuestionScreen},
    {"no", Verb::No, ArgShape::None, kQuestionScreen},
    {"enter", Verb::Enter, ArgShape::Integer, kInputScreen},
    {"press", Verb::Press, ArgShape::PositionOrText, kPanelScreen},
    {"idle", Verb::Idle, ArgShape::Count, kPanelScreen},
    // Pauses in real time before the next screen's step (a user leaving the tester alone).
    {"wait", Verb::Wait, ArgShape::Count, ~0u},
};

struct Step {
  const VerbRule *rule = nullptr;
  int line = 0;
  std::string source;          // the line as written, for messages
  int position = 0;            // choose/press by position (1-based); 0 = by text
  std::string text;            // choose/press by text
  bool all = false;            // tick all
  std::vector<int> positions;  // tick: 1-based positions (empty and !all = none)
  long value = 0;              // stay/idle count, wait seconds, enter number
};

// Parses a whole script; false with "script line N: ..." in `error`.
bool parseScript(std::string_view text, std::vector<Step> &steps, std::string &error);

}  // namespace stdhost
