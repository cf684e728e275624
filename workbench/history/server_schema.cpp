// Schema steps of the history server.
#include "server_schema.h"

namespace history {
namespace {

// Any number, the same in every vazdiag: the lock two bays take before migrating.
constexpr const char *kMigrationLock = "7366012401";

// Version 1: the local tables of version 3 (texts as the station showed them), every row
// under its session's number and its order in the session.
constexpr const char *kVersion1 = R"(
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
CREATE TABLE identification(
  session bigint NOT NULL REFERENCES sessions(id),
  seq integer NOT NULL,
  name text NOT NULL,
  value text NOT NULL,
  PRIMARY KEY(session, seq));
CREATE TABLE code_lists(
  session bigint NOT NULL REFERENCES sessions(id),
  ordinal integer NOT NULL,
  shown_at text NOT NULL,
  title text NOT NULL,
  PRIMARY KEY(session, ordinal));
CREATE TABLE codes(
  session bigint NOT NULL,
  list integer NOT NULL,
  seq integer NOT NULL,
  code text NOT NULL,
  text text NOT NULL,
  status text NOT NULL,
  PRIMARY KEY(session, list, seq),
  FOREIGN KEY(session, list) REFERENCES code_lists(session, ordinal));
CREATE TABLE clears(
  session bigint NOT NULL REFERENCES sessions(id),
  ordinal integer NOT NULL,
  done_at text NOT NULL,
  ok boolean NOT NULL,
  result text NOT NULL,
  sent text NOT NULL,
  PRIMARY KEY(session, ordinal));
CREATE TABLE tests(
  session bigint NOT NULL REFERENCES sessions(id),
  ordinal integer NOT NULL,
  started_at text NOT NULL,
  name text NOT NULL,
  steps text NOT NULL DEFAULT '',
  sent text NOT NULL DEFAULT '',
  outcome text NOT NULL DEFAULT '',
  PRIMARY KEY(session, ordinal));
CREATE TABLE notices(
  session bigint NOT NULL REFERENCES sessions(id),
  ordinal integer NOT NULL,
  action text NOT NULL,
  text text NOT NULL,
  PRIMARY KEY(session, ordinal));
CREATE TABLE items(
  session bigint NOT NULL REFERENCES sessions(id),
  ordinal integer NOT NULL,
  name text NOT NULL,
  unit text NOT NULL,
  PRIMARY KEY(session, ordinal));
CREATE TABLE passes(
  session bigint NOT NULL REFERENCES sessions(id),
  ordinal integer NOT NULL,
  engine_ms double precision NOT NULL,
  PRIMARY KEY(session, ordinal));
CREATE TABLE pass_values(
  session bigint NOT NULL,
  pass integer NOT NULL,
  item integer NOT NULL,
  value text NOT NULL,
  number double precision,
  PRIMARY KEY(session, pass, item),
  FOREIGN KEY(session, pass) REFERENCES passes(session, ordinal));
)";

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
  if (from < 1 && upTo >= 1) pg.exec(kVersion1);
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
