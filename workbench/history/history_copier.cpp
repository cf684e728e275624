// Copying sessions to the history server.
#include "history_copier.h"

#include <cstdio>
#include <map>

namespace history {
namespace {

std::string num(std::int64_t v) { return std::to_string(v); }

// Text that reads back as the very same double: the server's report must draw the
// very numbers the local one does.
std::string real(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

// Columns of a batch, each sent as one array parameter after the session's number.
using Columns = std::vector<std::vector<PgParam>>;

std::int64_t insertColumns(Pg &pg, const std::string &name, std::int64_t serverId, const Columns &cols) {
  if (cols.empty() || cols[0].empty()) return 0;
  std::vector<PgParam> params{num(serverId)};
  for (const auto &c : cols) params.emplace_back(pgArray(c));
  return pg.run(name, params).written();
}

// Every insert takes a batch as arrays, so a batch is one statement whatever its size.
struct Sql {
  const char *name, *text;
};
constexpr Sql kStatements[] = {
    {"session", R"(
INSERT INTO sessions(uuid, station, station_number, started_at, ended_at, ended_normally, ecu, ecu_type, car, port,
                     language)
VALUES($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11)
ON CONFLICT(uuid) DO UPDATE SET ended_at = EXCLUDED.ended_at, ended_normally = EXCLUDED.ended_normally
RETURNING id, xmax = 0)"},
    {"identification", R"(
INSERT INTO identification(session, seq, name, value) SELECT $1, * FROM unnest($2::int[], $3::text[], $4::text[])
ON CONFLICT(session, seq) DO UPDATE SET name = EXCLUDED.name, value = EXCLUDED.value
WHERE (identification.name, identification.value) IS DISTINCT FROM (EXCLUDED.name, EXCLUDED.value))"},
    {"code_lists", R"(
INSERT INTO code_lists(session, ordinal, shown_at, title) SELECT $1, * FROM unnest($2::int[], $3::text[], $4::text[])
ON CONFLICT DO NOTHING)"},
    {"codes", R"(
INSERT INTO codes(session, list, seq, code, text, status)
SELECT $1, * FROM unnest($2::int[], $3::int[], $4::text[], $5::text[], $6::text[]) ON CONFLICT DO NOTHING)"},
    {"clears", R"(
INSERT INTO clears(session, ordinal, done_at, ok, result, sent)
SELECT $1, * FROM unnest($2::int[], $3::text[], $4::boolean[], $5::text[], $6::text[]) ON CONFLICT DO NOTHING)"},
    {"tests", R"(
INSERT INTO tests(session, ordinal, started_at, name, steps, sent, outcome)
SELECT $1, * FROM unnest($2::int[], $3::text[], $4::text[], $5::text[], $6::text[], $7::text[])
ON CONFLICT(session, ordinal) DO UPDATE SET steps = EXCLUDED.steps, sent = EXCLUDED.sent, outcome = EXCLUDED.outcome
WHERE (tests.steps, tests.sent, tests.outcome) IS DISTINCT FROM (EXCLUDED.steps, EXCLUDED.sent, EXCLUDED.outcome))"},
    {"notices", R"(
INSERT INTO notices(session, ordinal, action, text) SELECT $1, * FROM unnest($2::int[], $3::text[], $4::text[])
ON CONFLICT DO NOTHING)"},
    {"items", R"(
INSERT INTO items(session, ordinal, name, unit) SELECT $1, * FROM unnest($2::int[], $3::text[], $4::text[])
ON CONFLICT DO NOTHING)"},
    {"passes", R"(
INSERT INTO passes(session, ordinal, engine_ms) SELECT $1, * FROM unnest($2::int[], $3::float8[])
ON CONFLICT DO NOTHING)"},
    {"pass_values", R"(
INSERT INTO pass_values(session, pass, item, value, number)
SELECT $1, * FROM unnest($2::int[], $3::int[], $4::text[], $5::float8[]) ON CONFLICT DO NOTHING)"},
    {"high_water", "SELECT COALESCE(MAX(ordinal), 0) FROM passes WHERE session = $1"},
};

// The local rows of one table of a session, ordered, as columns (the first: the order
// number from 1).
Columns readOrdered(Db &db, const std::string &sql, std::int64_t session, int textCols) {
  Columns cols(static_cast<std::size_t>(textCols) + 1);
  Statement q(db, sql);
  q.bind(1, session);
  for (int n = 1; q.step(); ++n) {
    cols[0].emplace_back(num(n));
    for (int c = 0; c < textCols; ++c) cols[static_cast<std::size_t>(c) + 1].emplace_back(q.text(c));
  }
  return cols;
}

// Per session what a copy compares: the end, and a count or size of every table.
constexpr const char *kLocalState = R"(
SELECT s.id, s.uuid, COALESCE(s.ended_at, '') || '/' || s.ended_normally || '/' ||
  (SELECT COUNT(*) || ':' || COALESCE(SUM(length(value)), 0) FROM identification WHERE session_id = s.id) || '/' ||
  (SELECT COUNT(*) FROM code_lists WHERE session_id = s.id) || '/' ||
  (SELECT COUNT(*) FROM codes c JOIN code_lists l ON l.id = c.list_id WHERE l.session_id = s.id) || '/' ||
  (SELECT COUNT(*) FROM clears WHERE session_id = s.id) || '/' ||
  (SELECT COUNT(*) || ':' || COALESCE(SUM(length(steps) + length(sent) + length(outcome)), 0)
   FROM tests WHERE session_id = s.id) || '/' ||
  (SELECT COUNT(*) FROM notices WHERE session_id = s.id) || '/' ||
  (SELECT COUNT(*) FROM items WHERE session_id = s.id),
  (SELECT COUNT(*) FROM passes WHERE session_id = s.id)
FROM sessions s ORDER BY s.id)";

constexpr const char *kServerState = R"(
SELECT s.uuid::text, COALESCE(s.ended_at, '') || '/' || s.ended_normally || '/' ||
  (SELECT COUNT(*) || ':' || COALESCE(SUM(length(value)), 0) FROM identification WHERE session = s.id) || '/' ||
  (SELECT COUNT(*) FROM code_lists WHERE session = s.id) || '/' ||
  (SELECT COUNT(*) FROM codes WHERE session = s.id) || '/' ||
  (SELECT COUNT(*) FROM clears WHERE session = s.id) || '/' ||
  (SELECT COUNT(*) || ':' || COALESCE(SUM(length(steps) + length(sent) + length(outcome)), 0)
   FROM tests WHERE session = s.id) || '/' ||
  (SELECT COUNT(*) FROM notices WHERE session = s.id) || '/' ||
  (SELECT COUNT(*) FROM items WHERE session = s.id),
  (SELECT COALESCE(MAX(ordinal), 0) FROM passes WHERE session = s.id)
FROM sessions s WHERE s.uuid = ANY($1::uuid[]))";

}  // namespace

ServerCopier::ServerCopier(Db &local, Pg &server, std::string station)
    : db_(local), pg_(server), station_(std::move(station)) {
  auto have = pg_.exec("SELECT name FROM pg_prepared_statements WHERE name = 'pass_values'");
  if (have.rows() == 0)
    for (const Sql &s : kStatements) pg_.prepare(s.name, s.text);
}

std::vector<Pending> ServerCopier::pending() {
  struct Local {
    std::int64_t id;
    std::string uuid, state;
    std::int64_t passes;
  };
  std::vector<Local> local;
  Statement q(db_, kLocalState);
  while (q.step()) local.push_back({q.integer(0), q.text(1), q.text(2), q.integer(3)});
  std::vector<Pending> out;
  constexpr std::size_t kChunk = 1000;
  for (std::size_t from = 0; from < local.size(); from += kChunk) {
    const std::size_t to = std::min(local.size(), from + kChunk);
    std::vector<PgParam> uuids;
    for (std::size_t i = from; i < to; ++i) uuids.emplace_back(local[i].uuid);
    auto r = pg_.exec(kServerState, {pgArray(uuids)});
    std::map<std::string, std::pair<std::string, std::int64_t>> server;
    for (int row = 0; row < r.rows(); ++row) server[r.text(row, 0)] = {r.text(row, 1), r.integer(row, 2)};
    for (std::size_t i = from; i < to; ++i) {
      const Local &l = local[i];
      auto it = server.find(l.uuid);
      Pending p{l.id, l.uuid, l.passes, true};
      if (it != server.end()) {
        p.passes = std::max<std::int64_t>(0, l.passes - it->second.second);
        p.rest = it->second.first != l.state;
      }
      if (p.passes > 0 || p.rest) out.push_back(p);
    }
  }
  return out;
}

std::int64_t ServerCopier::copyRecord(std::int64_t localSession, std::int64_t &serverId) {
  Statement s(db_, R"(
SELECT uuid, station, id, started_at, ended_at, ended_normally, ecu, ecu_type, car, port, language
FROM sessions WHERE id = ?)");
  s.bind(1, localSession);
  if (!s.step()) throw DbError("no session " + num(localSession) + " in the history");
  std::vector<PgParam> head;
  for (int c = 0; c < 11; ++c) {
    if (c == 4 && s.isNull(c))
      head.emplace_back(std::nullopt);
    else if (c == 5)
      head.emplace_back(std::to_string(s.integer(c)));
    else if (c == 1 && s.text(c).empty())
      head.emplace_back(station_);
    else
      head.emplace_back(s.text(c));
  }
  const Columns identification = readOrdered(
      db_, "SELECT seq, name, value FROM identification WHERE session_id = ? ORDER BY seq", localSession, 3);
  const Columns lists =
      readOrdered(db_, "SELECT shown_at, title, id FROM code_lists WHERE session_id = ? ORDER BY id", localSession, 3);
  std::map<std::string, std::string> listOrdinal;  // code_lists.id -> its order in the session
  for (std::size_t i = 0; i < lists[0].size(); ++i) listOrdinal[*lists[3][i]] = *lists[0][i];
  Columns codes(5);
  Statement c(db_, R"(
SELECT c.list_id, c.seq, c.code, c.text, c.status FROM codes c JOIN code_lists l ON l.id = c.list_id
WHERE l.session_id = ? ORDER BY c.list_id, c.seq)");
  c.bind(1, localSession);
  while (c.step()) {
    auto list = listOrdinal.find(c.text(0));
    if (list == listOrdinal.end()) continue;  // a list written after the lists were read: the next copy
    codes[0].emplace_back(list->second);
    for (int col = 1; col < 5; ++col) codes[static_cast<std::size_t>(col)].emplace_back(c.text(col));
  }
  Columns clears = readOrdered(
      db_,
      "SELECT done_at, CASE ok WHEN 0 THEN 'false' ELSE 'true' END, result, sent FROM clears WHERE session_id = ? "
      "ORDER BY id",
      localSession, 4);
  const Columns tests =
      readOrdered(db_, "SELECT started_at, name, steps, sent, outcome FROM tests WHERE session_id = ? ORDER BY id",
                  localSession, 5);
  const Columns notices =
      readOrdered(db_, "SELECT action, text FROM notices WHERE session_id = ? ORDER BY id", localSession, 2);
  const Columns items =
      readOrdered(db_, "SELECT name, unit FROM items WHERE session_id = ? ORDER BY id", localSession, 2);

  PgTransaction t(pg_);
  auto r = pg_.run("session", head);
  serverId = r.integer(0, 0);
  std::int64_t written = r.text(0, 1) == "t" ? 1 : 0;
  // identification's own seq is its order already: drop the generated one.
  written += insertColumns(pg_, "identification", serverId, Columns(identification.begin() + 1, identification.end()));
  written += insertColumns(pg_, "code_lists", serverId, Columns(lists.begin(), lists.begin() + 3));
  written += insertColumns(pg_, "codes", serverId, codes);
  written += insertColumns(pg_, "clears", serverId, clears);
  written += insertColumns(pg_, "tests", serverId, tests);
  written += insertColumns(pg_, "notices", serverId, notices);
  written += insertColumns(pg_, "items", serverId, items);
  t.commit();
  return written;
}

std::int64_t ServerCopier::copyPasses(std::int64_t localSession, std::int64_t serverId, int batchPasses) {
  const std::int64_t highWater = pg_.run("high_water", {num(serverId)}).integer(0, 0);
  Statement passes(db_, "SELECT id, engine_ms FROM passes WHERE session_id = ? ORDER BY id LIMIT ? OFFSET ?");
  passes.bind(1, localSession).bind(2, batchPasses).bind(3, highWater);
  Columns p(2);
  std::map<std::int64_t, std::string> ordinalOf;  // passes.id -> its order in the session
  std::int64_t first = 0, last = 0;
  for (std::int64_t n = highWater + 1; passes.step(); ++n) {
    const std::int64_t id = passes.integer(0);
    if (first == 0) first = id;
    last = id;
    ordinalOf[id] = num(n);
    p[0].emplace_back(num(n));
    p[1].emplace_back(real(passes.real(1)));
  }
  if (p[0].empty()) return 0;
  // Read after the passes: every item their values name is there. They go with the batch,
  // so an item first shown after the session's record was copied is never missing.
  std::map<std::int64_t, std::string> itemOrdinal;
  Columns itemRows(3);
  Statement items(db_, "SELECT id, name, unit FROM items WHERE session_id = ? ORDER BY id");
  items.bind(1, localSession);
  for (int n = 1; items.step(); ++n) {
    itemOrdinal[items.integer(0)] = num(n);
    itemRows[0].emplace_back(num(n));
    itemRows[1].emplace_back(items.text(1));
    itemRows[2].emplace_back(items.text(2));
  }
  Columns v(4);
  Statement values(db_, R"(
SELECT v.pass_id, v.item_id, v.value, v.number FROM pass_values v JOIN passes p ON p.id = v.pass_id
WHERE p.session_id = ?1 AND v.pass_id BETWEEN ?2 AND ?3 ORDER BY v.pass_id, v.item_id)");
  values.bind(1, localSession).bind(2, first).bind(3, last);
  while (values.step()) {
    v[0].emplace_back(ordinalOf.at(values.integer(0)));
    v[1].emplace_back(itemOrdinal.at(values.integer(1)));
    v[2].emplace_back(values.text(2));
    v[3].emplace_back(values.isNull(3) ? PgParam() : PgParam(real(values.real(3))));
  }
  PgTransaction t(pg_);
  std::int64_t written = insertColumns(pg_, "items", serverId, itemRows);
  written += insertColumns(pg_, "passes", serverId, p);
  written += insertColumns(pg_, "pass_values", serverId, v);
  t.commit();
  return written;
}

std::int64_t ServerCopier::copy(std::int64_t localSession, int batchPasses, const std::function<bool()> &keepGoing) {
  std::int64_t serverId = 0;
  std::int64_t written = copyRecord(localSession, serverId);
  while (keepGoing()) {
    const std::int64_t n = copyPasses(localSession, serverId, batchPasses);
    if (n == 0) break;
    written += n;
  }
  return written;
}

}  // namespace history
