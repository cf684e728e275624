// Where the history lives by default: $XDG_DATA_HOME/vazdiag/history.sqlite, or
// ~/.local/share/vazdiag/history.sqlite when XDG_DATA_HOME is unset or not absolute.
#pragma once

#include <string>

namespace history {

std::string defaultHistoryPath();

}  // namespace history
