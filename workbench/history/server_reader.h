// Reading the history server back: the list of every station's sessions for
// `vazdiag history --server` and one session for `vazdiag report N --server`, the same
// record the local file gives, so the report is the same page byte for byte.
#pragma once

#include "history_reader.h"
#include "pg_db.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace history {

struct ServerSessionSummary {
  SessionSummary session;  // id: the server's number; firstField: the VIN as shown
  std::string station;
  std::int64_t stationNumber = 0;  // the session's number in its station's file
  std::int64_t passes = 0;
};

struct ServerFilter {
  std::string vin;    // the first identification value begins with it
  std::string car;    // an identification value holds it
  std::string since;  // started on or after ("YYYY-MM-DD" or a longer time text)
};

// Newest first.
std::vector<ServerSessionSummary> listServerSessions(Pg &pg, const ServerFilter &filter);

// Session id (the server's number); its summary carries the station's number, as the
// station's own report does.
std::optional<SessionRecord> loadServerSession(Pg &pg, std::int64_t id);

}  // namespace history
