// vazdiag's side of the shared history server: its options, where its address comes
// from, and the commands and the session copy that use it. The address never carries a
// password: libpq's own sources give it (~/.pgpass, PGPASSFILE, PGSERVICE, PGPASSWORD).
#pragma once

#include "history_options.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vazdiag {

// One of the history commands' server arguments at args[i] (`sync` right after
// `history`, --server, --dry-run, --vin, --since, --history-server, sync's --station): true when it was one
// (i moved past its value); error set when it was one given wrongly.
bool parse_server_argument(const std::vector<std::string> &args, std::size_t &i, HistoryOptions &o, std::string &error);
// Arguments that do not go together; "" when all is well.
std::string check_server_arguments(const HistoryOptions &o);

// The server to copy to and read from: --history-server, else VAZDIAG_HISTORY_SERVER, else
// HistoryServer= in StdCfg.ini in the assets folder beside vazdiag; "" = none.
std::string history_server(const HistoryOptions &o);
// --station, else the host name.
std::string station_name(const HistoryOptions &o);

// Why vazdiag will not use this address ("" when it will): a password in it, a text libpq
// cannot read, a build without the server.
std::string server_address_problem(const std::string &server);

// `vazdiag history sync`, `history --server`, `report N --server`; the exit status.
int run_server_command(const HistoryOptions &o);

// The running session's copy to the server.
class SessionCopy {
 public:
  virtual ~SessionCopy() = default;
  // The session is over: "" when the server holds all of it, else the note to print.
  virtual std::string finish() = 0;
};
std::unique_ptr<SessionCopy> start_session_copy(const std::string &file, const std::string &server,
                                                std::int64_t session);

}  // namespace vazdiag
