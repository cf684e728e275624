// What vazdiag was asked about its session history: where it lives, whether a session is
// kept at all, and the two commands that read it (`vazdiag history`, `vazdiag report N`).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vazdiag {

struct HistoryOptions {
  std::string command;       // "", "history" or "report"
  std::string file;          // --history FILE; "" = the default file
  bool off = false;          // --no-history
  bool recordAll = false;    // --record: every live-data pass of the session
  std::string carFilter;     // history --car TEXT
  std::int64_t session = 0;  // report N
  std::string output;        // report -o FILE; "" = vazdiag-report-N.html

  // The shared history server.
  std::string server;      // --history-server URL; "" = VAZDIAG_HISTORY_SERVER, then HistoryServer= in StdCfg.ini
  std::string station;     // --station NAME; "" = the host name
  bool onServer = false;   // history --server, report N --server
  bool dryRun = false;     // history sync --dry-run
  std::string vin, since;  // history --server --vin TEXT --since YYYY-MM-DD
};

// Parses `history [--car TEXT] [--history FILE]` or `report N [-o FILE] [--history FILE]`,
// with the server's options (server_options.h) (args[0] is the command). Nothing and error on a bad argument.
std::optional<HistoryOptions> parse_history_command(const std::vector<std::string> &args, std::string &error);

// The file in use: --history FILE, else the user's data directory.
std::string history_file(const HistoryOptions &o);

// Runs `vazdiag history` or `vazdiag report`; the exit status.
int run_history_command(const HistoryOptions &o);

}  // namespace vazdiag
