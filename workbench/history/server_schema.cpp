// Schema steps of the history server.
#include "server_schema.h"

#include <string>

namespace history {
namespace {

// Any number, the same in every vazdiag: the lock two bays take before migrating.
constexpr const char *kMigrationLock = "7366012401";

// Version 1: the local tables of version 3 (texts as the station showed them), every row
// under its session's number and its order in the session.
constexpr const char *kSessions = R"(
CREATE TABLE sessions(
  id bigserial PRIMARY KEY,
  uuid uuid NOT NULL UNIQUE,
  station text NOT NULL,
  station_number bigint NOT NULL,
  started_at text NOT NULL,
  ended_at text,
  ended_normally boolean NOT NULL DEFAULT false,
  ecu text NOT NULL,
  ecu_type integer NOT NULL,
  car text NOT NULL DEFAULT '',
  port text NOT NULL DEFAULT '',
  language text NOT NULL DEFAULT 'en',
  copied_at timestamptz NOT NULL DEFAULT now());
)";

// The tables of a session's rows, each row known by its session and its order in it; the
// rows of a table with a parent are known within the parent's row.
struct RowTable {
  const char *name;
  const char *parent;  // nullptr: the rows belong to the session itself
  const char *link;    // with a parent: the column holding the parent's order
  const char *order;   // the column of the row's order
  const char *columns;
};

constexpr RowTable kRowTables[] = {
    {"identification", nullptr, nullptr, "seq", "name text NOT NULL, value text NOT NULL"},
    {"code_lists", nullptr, nullptr, "ordinal", "shown_at text NOT NULL, title text NOT NULL"},
    {"codes", "code_lists", "list", "seq", "code text NOT NULL, text text NOT NULL, status text NOT NULL"},
    {"clears", nullptr, nullptr, "ordinal",
     "done_at text NOT NULL, ok boolean NOT NULL, result text NOT NULL, sent text NOT NULL"},
    {"tests", nullptr, nullptr, "ordinal",
     "started_at text NOT NULL, name text NOT NULL, steps text NOT NULL DEFAULT '', "
     "sent text NOT NULL DEFAULT '', outcome text NOT NULL DEFAULT ''"},
    {"notices", nullptr, nullptr, "ordinal", "action text NOT NULL, text text NOT NULL"},
    {"items", nullptr, nullptr, "ordinal", "name text NOT NULL, unit text NOT NULL"},
    {"passes", nullptr, nullptr, "ordinal", "engine_ms double precision NOT NULL"},
    {"pass_values", "passes", "pass", "item", "value text NOT NULL, number double precision"},
};

std::string version1() {
  std::string sql = kSessions;
  for (const RowTable &t : kRowTables) {
    const std::string order = t.order;
    sql += std::string("CREATE TABLE ") + t.name + "(session bigint NOT NULL";
    if (t.parent == nullptr) {
      sql += " REFERENCES sessions(id), " + order + " integer NOT NULL, " + t.columns + ", PRIMARY KEY(session, " +
             order + "));\n";
    } else {
      const std::string link = t.link;
      sql += ", " + link + " integer NOT NULL, " + order + " integer NOT NULL, " + t.columns +
             ", PRIMARY KEY(session, " + link + ", " + order + "), FOREIGN KEY(session, " + link + ") REFERENCES " +
             t.parent + "(session, ordinal));\n";
    }
  }
  return sql;
}

// Version 2: indexes for what the server is asked often: the list newest first, by
// station, and by VIN or another identification value (prefix searches).
constexpr const char *kVersion2 = R"(
CREATE INDEX sessions_started ON sessions(started_at DESC, id DESC);
CREATE INDEX sessions_station ON sessions(station, started_at);
CREATE INDEX identification_value ON identification(value text_pattern_ops);
)";

// Version 3: how a session ended is a number, as in the local history: 0 cut off, 1 normal,
// 2 ended on a communication failure with the unit.
constexpr const char *kVersion3 = R"(
ALTER TABLE sessions ALTER COLUMN ended_normally DROP DEFAULT;
ALTER TABLE sessions ALTER COLUMN ended_normally TYPE smallint USING (CASE WHEN ended_normally THEN 1 ELSE 0 END);
ALTER TABLE sessions ALTER COLUMN ended_normally SET DEFAULT 0;
)";

int versionOf(Pg &pg) {
  auto v = pg.exec("SELECT COALESCE(MAX(version), 0) FROM schema_version");
  return static_cast<int>(v.integer(0, 0));
}

}  // namespace

int migrateServer(Pg &pg, int upTo) {
  // A server already up to date is only read: a bay's role may read and insert, not create.
  if (!pg.exec("SELECT to_regclass('schema_version')").isNull(0, 0)) {
    const int now = versionOf(pg);
    if (now >= upTo && now <= kServerSchemaVersion) return now;
  }
  PgTransaction t(pg);
  pg.exec("SELECT pg_advisory_xact_lock($1)", {kMigrationLock});
  pg.exec("CREATE TABLE IF NOT EXISTS schema_version(version integer NOT NULL)");
  const int from = versionOf(pg);
  if (from > kServerSchemaVersion)
    throw PgError("the history server has schema version " + std::to_string(from) + ", newer than this vazdiag (" +
                      std::to_string(kServerSchemaVersion) + ")",
                  false);
  if (from < 1 && upTo >= 1) pg.exec(version1());
  if (from < 2 && upTo >= 2) pg.exec(kVersion2);
  if (from < 3 && upTo >= 3) pg.exec(kVersion3);
  if (upTo > from) {
    pg.exec("DELETE FROM schema_version");
    pg.exec("INSERT INTO schema_version(version) VALUES($1)", {std::to_string(upTo)});
  }
  t.commit();
  return from;
}

}  // namespace history
