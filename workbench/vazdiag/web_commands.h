// vazdiag's browser side: announcing a web session (the address to open, a warning when it
// can be reached from the network, the desktop's browser started on it) and `vazdiag
// web-history`, which serves the session history's list and reports to a browser.
#pragma once

#include "history_options.h"

#include <string>

namespace vazdiag {

// Prints "Open in a browser: URL" on standard output; warns on standard error, naming the
// addresses, when the page can be reached from other machines; with open, starts the
// desktop's browser on it.
void announce_web(const std::string &url, const std::string &networkUrls, bool open);

// Serves the history on address until interrupted; the exit status.
int run_web_history(const std::string &address, const HistoryOptions &history);

}  // namespace vazdiag
