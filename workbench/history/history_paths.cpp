// The default history file, in vazdiag's data directory.
#include "history_paths.h"

#include "workbench/data_home.h"

namespace history {

std::string defaultHistoryPath() { return workbench::data_home() + "/history.sqlite"; }

}  // namespace history
