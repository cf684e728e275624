// Copies sessions from the local history file to the shared server. Idempotent: the
// server's own rows say how far a session got (its last pass's order number is the
// high-water mark), every insert ignores a row already there, and each batch is one
// transaction, so a copy cut off anywhere and repeated neither duplicates nor skips.
#pragma once

#include "pg_db.h"
#include "sqlite_db.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace history {

// What the server lacks of one local session.
struct Pending {
  std::int64_t local = 0;  // sessions.id in the file
  std::string uuid;
  std::int64_t passes = 0;  // passes the server lacks
  bool rest = false;        // anything else differs (end, codes, tests, ...)
};

class ServerCopier {
 public:
  // Both connections stay the caller's; the server's schema must be up to date. A session
  // recorded before stations had names is copied under station.
  ServerCopier(Db &local, Pg &server, std::string station = "");
  // Sessions the server lacks wholly or in part, oldest first.
  std::vector<Pending> pending();
  // Copies one session: its record and then its passes, batchPasses per transaction.
  // Rows written on the server (a row already there is not counted). keepGoing is asked
  // between batches.
  std::int64_t copy(
      std::int64_t localSession, int batchPasses = 500, const std::function<bool()> &keepGoing = [] { return true; });

 private:
  std::int64_t copyRecord(std::int64_t localSession, std::int64_t &serverId);
  std::int64_t copyPasses(std::int64_t localSession, std::int64_t serverId, int batchPasses);

  Db &db_;
  Pg &pg_;
  std::string station_;
};

}  // namespace history
