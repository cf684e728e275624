// Where the history lives by default: history.sqlite in vazdiag's data directory
// ($XDG_DATA_HOME/vazdiag, or ~/.local/share/vazdiag; workbench/data_home.h).
#pragma once

#include <string>

namespace history {

std::string defaultHistoryPath();

}  // namespace history
