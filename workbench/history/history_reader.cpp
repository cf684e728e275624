// Queries behind `vazdiag history` and `vazdiag report`.
#include "history_reader.h"

#include "history_schema.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <set>

namespace history {
namespace {

constexpr const char *kSummary = R"(
SELECT s.id, s.started_at, COALESCE(s.ended_at, ''), s.ended_normally, s.ecu, s.car, s.port, s.language,
       COALESCE((SELECT value FROM identification i WHERE i.session_id = s.id ORDER BY seq LIMIT 1), ''),
       (SELECT COUNT(DISTINCT c.code || ' ' || c.text) FROM codes c JOIN code_lists l ON c.list_id = l.id WHERE l.session_id = s.id)
FROM sessions s)";

SessionSummary summaryOf(const Statement &q) {
  SessionSummary s;
  s.id = q.integer(0);
  s.startedAt = q.text(1);
  s.endedAt = q.text(2);
  s.endedNormally = q.integer(3) == kEndedNormally;
  s.commFailure = q.integer(3) == kEndedOnCommFailure;
  s.ecu = q.text(4);
  s.car = q.text(5);
  s.port = q.text(6);
  s.language = q.text(7);
  s.firstField = q.text(8);
  s.codes = static_cast<int>(q.integer(9));
  return s;
}

std::string damaged(const std::string &fault) {
  return "the file is damaged (" + fault + "); the next session moves it aside and starts a new history";
}

}  // namespace

Db openHistory(const std::string &path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) throw NoHistory("no sessions recorded yet (" + path + " does not exist)");
    throw DbError(std::string("cannot open ") + path + ": " + std::strerror(errno));
  }
  // SQLite would open a FIFO and wait on it for ever.
  if (!S_ISREG(st.st_mode)) throw DbError(path + " is not a file");
  auto open = [&path] {
    Db db(path, Db::ReadOnly{});
    sqlite3_busy_timeout(db.get(), 10000);
    try {
      db.userVersion();
      return db;
    } catch (const DbError &e) {
      // A log-mode file whose directory cannot hold the log's shared memory (read-only):
      // nobody can be writing it, so it is read as it stands.
      const int code = sqlite3_extended_errcode(db.get()) & 0xFF;
      if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT) throw DbError(damaged(e.what()));
      if (code != SQLITE_CANTOPEN) throw;
    }
    Db fixed(path, Db::ReadOnly{true});
    fixed.userVersion();
    return fixed;
  };
  Db db = open();
  if (const std::string fault = damage(db); !fault.empty()) throw DbError(damaged(fault));
  const int version = db.userVersion();
  if (version > kSchemaVersion)
    throw DbError("the history file has schema version " + std::to_string(version) + ", newer than this vazdiag (" +
                  std::to_string(kSchemaVersion) + ")");
  if (version < kSchemaVersion) {
    // An earlier vazdiag's file: brought up to date once, by whoever reads it first.
    try {
      Db writable(path, false);
      configure(writable);
      migrate(writable);
    } catch (const DbError &e) {
      throw DbError(std::string("the file was written by an earlier vazdiag and cannot be brought up to date here (") +
                    e.what() + ")");
    }
    db = open();
  }
  return db;
}

std::vector<SessionSummary> listSessions(Db &db, const std::string &carFilter) {
  std::string sql = kSummary;
  if (!carFilter.empty())
    sql += " WHERE EXISTS (SELECT 1 FROM identification i WHERE i.session_id = s.id AND instr(i.value, ?1) > 0)";
  sql += " ORDER BY s.started_at DESC, s.id DESC";
  Statement q(db, sql);
  if (!carFilter.empty()) q.bind(1, carFilter);
  std::vector<SessionSummary> out;
  while (q.step()) out.push_back(summaryOf(q));
  return out;
}

std::optional<SessionRecord> loadSession(Db &db, std::int64_t id) {
  Statement head(db, std::string(kSummary) + " WHERE s.id = ?1");
  head.bind(1, id);
  if (!head.step()) return std::nullopt;
  SessionRecord r;
  r.summary = summaryOf(head);

  Statement ident(db, "SELECT name, value FROM identification WHERE session_id = ? ORDER BY seq");
  ident.bind(1, id);
  while (ident.step()) r.identification.emplace_back(ident.text(0), ident.text(1));

  Statement lists(db, "SELECT id, title, shown_at FROM code_lists WHERE session_id = ? ORDER BY id");
  Statement codes(db, "SELECT code, text, status FROM codes WHERE list_id = ? ORDER BY seq");
  lists.bind(1, id);
  while (lists.step()) {
    CodeList l{lists.text(1), lists.text(2), {}};
    codes.bind(1, lists.integer(0));
    while (codes.step()) l.codes.push_back({codes.text(0), codes.text(1), codes.text(2)});
    codes.reset();
    r.codeLists.push_back(std::move(l));
  }

  Statement clears(db, "SELECT done_at, result, sent, ok FROM clears WHERE session_id = ? ORDER BY id");
  clears.bind(1, id);
  while (clears.step()) r.clears.push_back({clears.text(0), clears.text(1), clears.text(2), clears.integer(3) != 0});

  Statement tests(db, "SELECT started_at, name, steps, sent, outcome FROM tests WHERE session_id = ? ORDER BY id");
  tests.bind(1, id);
  while (tests.step()) r.tests.push_back({tests.text(0), tests.text(1), tests.text(2), tests.text(3), tests.text(4)});

  Statement notices(db, "SELECT action, text FROM notices WHERE session_id = ? ORDER BY id");
  notices.bind(1, id);
  while (notices.step()) r.notices.push_back({notices.text(0), notices.text(1)});

  Statement count(db, "SELECT COUNT(*) FROM passes WHERE session_id = ?");
  count.bind(1, id);
  count.step();
  r.passes = count.integer(0);

  // The time axis every chart of the session shares: its first and last pass.
  Statement span(db, R"(
SELECT MIN(engine_ms), MAX(engine_ms) FROM passes
WHERE session_id = ? AND engine_ms BETWEEN -1e300 AND 1e300)");
  span.bind(1, id);
  span.step();
  const double x0 = span.isNull(0) ? 0 : span.real(0) / 1000.0, x1 = span.isNull(1) ? 0 : span.real(1) / 1000.0;

  Statement values(db, R"(
SELECT v.item_id, p.engine_ms, v.value, v.number
FROM passes p JOIN pass_values v ON v.pass_id = p.id
WHERE p.session_id = ? ORDER BY p.id)");
  Statement item(db, "SELECT name, unit FROM items WHERE id = ?");
  values.bind(1, id);
  struct Reading {
    ChartBuilder chart;
    std::set<std::string> seen;
  };
  std::vector<Reading> readings;           // one per series
  std::map<std::int64_t, std::size_t> at;  // item id -> index in series
  while (values.step()) {
    auto [it, fresh] = at.try_emplace(values.integer(0), r.series.size());
    if (fresh) {
      item.bind(1, values.integer(0));
      const bool known = item.step();
      r.series.push_back({known ? item.text(0) : "?", known ? item.text(1) : "", {}, {}});
      item.reset();
      readings.push_back({ChartBuilder(x0, x1), {}});
    }
    Series &s = r.series[it->second];
    Reading &reading = readings[it->second];
    if (!values.isNull(3)) {
      reading.chart.add(values.real(1) / 1000.0, values.real(3));
    } else if (s.texts.size() < kMaxTexts) {
      std::string text = values.text(2);
      if (!reading.seen.count(text)) {
        reading.seen.insert(text);
        s.texts.push_back(std::move(text));
      }
    } else if (!reading.seen.count(values.text(2))) {
      s.moreTexts = true;
    }
  }
  for (std::size_t i = 0; i < readings.size(); ++i) r.series[i].chart = readings[i].chart.finish();
  return r;
}

}  // namespace history
