// Plain-text pictures of the screens and of the user's answers; the transcript
// of the script front end and the terminal front end draw with the same words.
#pragma once

#include "screens.h"

#include <string>
#include <vector>

namespace stdhost {

std::string renderMessage(const MessageScreen &s);
// The line front end's message and number box: the same without the transcript's markup.
std::string renderPlainMessage(const MessageScreen &s);
std::string renderPlainInput(const InputScreen &s);
std::string renderMenu(const MenuScreen &s);
std::string renderSelect(const SelectScreen &s);
std::string renderStream(const StreamScreen &s);
// The same appended to out: a live-data pass reuses its buffer.
void appendStream(std::string &out, const StreamScreen &s);
std::string renderCodes(const CodeScreen &s);
std::string renderInput(const InputScreen &s);
std::string renderPanel(const PanelScreen &s);

// Answer lines, each "> ..." and a blank line closing the screen.
std::string answerLine(const std::string &what);
std::string answerMenu(const MenuScreen &s, int position);  // -1 = back
std::string answerSelect(const std::optional<std::vector<bool>> &ticks);
std::string answerPanel(const PanelScreen &s, int button);  // -1 = no button

}  // namespace stdhost
