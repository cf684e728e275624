// Schema steps of the history database.
#include "history_schema.h"

#include "workbench/live_value.h"

#include <string>

namespace history {
namespace {

// Version 1: sessions with what they showed. Live data is one row per pass and one per
// item value; item names are kept once per session.
constexpr const char *kVersion1 = R"(
CREATE TABLE sessions(
  id INTEGER PRIMARY KEY,
  started_at TEXT NOT NULL,
  ended_at TEXT,
  ended_normally INTEGER NOT NULL DEFAULT 0,
  ecu TEXT NOT NULL,
  ecu_type INTEGER NOT NULL,
  car TEXT NOT NULL DEFAULT '',
  port TEXT NOT NULL DEFAULT '');
CREATE TABLE identification(
  session_id INTEGER NOT NULL REFERENCES sessions(id) ON DELETE CASCADE,
  seq INTEGER NOT NULL,
  name TEXT NOT NULL,
  value TEXT NOT NULL,
  PRIMARY KEY(session_id, seq)) WITHOUT ROWID;
CREATE TABLE code_lists(
  id INTEGER PRIMARY KEY,
  session_id INTEGER NOT NULL REFERENCES sessions(id) ON DELETE CASCADE,
  shown_at TEXT NOT NULL,
  title TEXT NOT NULL);
CREATE TABLE codes(
  list_id INTEGER NOT NULL REFERENCES code_lists(id) ON DELETE CASCADE,
  seq INTEGER NOT NULL,
  code TEXT NOT NULL,
  text TEXT NOT NULL,
  status TEXT NOT NULL,
  PRIMARY KEY(list_id, seq)) WITHOUT ROWID;
CREATE TABLE clears(
  id INTEGER PRIMARY KEY,
  session_id INTEGER NOT NULL REFERENCES sessions(id) ON DELETE CASCADE,
  done_at TEXT NOT NULL,
  ok INTEGER NOT NULL,
  result TEXT NOT NULL,
  sent TEXT NOT NULL);
CREATE TABLE tests(
  id INTEGER PRIMARY KEY,
  session_id INTEGER NOT NULL REFERENCES sessions(id) ON DELETE CASCADE,
  started_at TEXT NOT NULL,
  name TEXT NOT NULL,
  steps TEXT NOT NULL DEFAULT '',
  sent TEXT NOT NULL DEFAULT '',
  outcome TEXT NOT NULL DEFAULT '');
CREATE TABLE notices(
  id INTEGER PRIMARY KEY,
  session_id INTEGER NOT NULL REFERENCES sessions(id) ON DELETE CASCADE,
  action TEXT NOT NULL,
  text TEXT NOT NULL);
CREATE TABLE items(
  id INTEGER PRIMARY KEY,
  session_id INTEGER NOT NULL REFERENCES sessions(id) ON DELETE CASCADE,
  name TEXT NOT NULL,
  unit TEXT NOT NULL,
  UNIQUE(session_id, name, unit));
CREATE TABLE passes(
  id INTEGER PRIMARY KEY,
  session_id INTEGER NOT NULL REFERENCES sessions(id) ON DELETE CASCADE,
  engine_ms REAL NOT NULL);
CREATE INDEX passes_session ON passes(session_id);
CREATE TABLE pass_values(
  pass_id INTEGER NOT NULL REFERENCES passes(id) ON DELETE CASCADE,
  item_id INTEGER NOT NULL REFERENCES items(id),
  value TEXT NOT NULL,
  PRIMARY KEY(pass_id, item_id)) WITHOUT ROWID;
)";

// Version 2: the language a session was shown in, an index for `history --car`, and each
// value's number beside its text (the chart no longer parses text); the numbers of
// passes already recorded are filled in from their texts.
constexpr const char *kVersion2 = R"(
ALTER TABLE sessions ADD COLUMN language TEXT NOT NULL DEFAULT 'en';
ALTER TABLE pass_values ADD COLUMN number REAL;
CREATE INDEX identification_value ON identification(value);
)";

// Version 3: a session's identity beyond this file, for copying it to a shared server: a
// random UUID (sessions recorded before get theirs now) and the station that recorded it.
// Rows within a session are known by their order in it, which never changes: rows are
// only ever added.
constexpr const char *kVersion3 = R"(
ALTER TABLE sessions ADD COLUMN uuid TEXT;
ALTER TABLE sessions ADD COLUMN station TEXT NOT NULL DEFAULT '';
)";

void fillNumbers(Db &db) {
  Statement read(db, "SELECT pass_id, item_id, value FROM pass_values");
  Statement write(db, "UPDATE pass_values SET number = ?3 WHERE pass_id = ?1 AND item_id = ?2");
  while (read.step()) {
    if (auto n = workbench::number_of(read.text(2)))
      write.bind(1, read.integer(0)).bind(2, read.integer(1)).bind(3, *n).run();
  }
}

}  // namespace

std::string damage(Db &db) {
  // Another vazdiag may be setting the file up or writing it: that is a wait, not damage.
  sqlite3_busy_timeout(db.get(), 10000);
  for (int attempt = 0;; ++attempt) {
    try {
      Statement check(db, "PRAGMA quick_check(1)");
      if (!check.step()) return "the check gave no answer";
      const std::string first = check.text(0);
      return first == "ok" ? "" : first;
    } catch (const DbError &e) {
      const int code = sqlite3_extended_errcode(db.get()) & 0xFF;
      if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT) return e.what();
      if ((code != SQLITE_BUSY && code != SQLITE_PROTOCOL) || attempt == 1000) throw;
      sqlite3_sleep(10);
    }
  }
}

void configure(Db &db) {
  sqlite3_busy_timeout(db.get(), 10000);
  db.execWhenFree("PRAGMA journal_mode = WAL");
  // In WAL mode NORMAL syncs at checkpoints only: a killed process loses nothing committed,
  // and a pass's commit is a write to the log without an fsync.
  db.exec("PRAGMA synchronous = NORMAL");
  db.exec("PRAGMA foreign_keys = ON");
}

void migrate(Db &db, int upTo) {
  Transaction t(db);
  const int from = db.userVersion();
  if (from > kSchemaVersion)
    throw DbError("the history file has schema version " + std::to_string(from) + ", newer than this vazdiag (" +
                  std::to_string(kSchemaVersion) + ")");
  if (from < 1 && upTo >= 1) db.exec(kVersion1);
  if (from < 2 && upTo >= 2) {
    db.exec(kVersion2);
    fillNumbers(db);
  }
  if (from < 3 && upTo >= 3) {
    db.exec(kVersion3);
    db.exec(std::string("UPDATE sessions SET uuid = ") + kNewUuid);
    db.exec("CREATE UNIQUE INDEX sessions_uuid ON sessions(uuid)");
  }
  const int to = std::max(from, upTo);
  if (to != from) db.exec("PRAGMA user_version = " + std::to_string(to));
  t.commit();
}

}  // namespace history
