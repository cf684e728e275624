// Queries behind `vazdiag history` and `vazdiag report`.
#include "history_reader.h"

#include "history_schema.h"

#include <map>

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
  s.endedNormally = q.integer(3) != 0;
  s.ecu = q.text(4);
  s.car = q.text(5);
  s.port = q.text(6);
  s.language = q.text(7);
  s.firstField = q.text(8);
  s.codes = static_cast<int>(q.integer(9));
  return s;
}

}  // namespace

Db openHistory(const std::string &path) {
  Db db(path, false);
  configure(db);
  migrate(db);
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
  r.passes = static_cast<int>(count.integer(0));

  Statement values(db, R"(
SELECT v.item_id, i.name, i.unit, p.engine_ms, v.value, v.number
FROM passes p JOIN pass_values v ON v.pass_id = p.id JOIN items i ON i.id = v.item_id
WHERE p.session_id = ? ORDER BY p.id)");
  values.bind(1, id);
  std::map<std::int64_t, std::size_t> at;  // item id -> index in series
  while (values.step()) {
    auto [it, fresh] = at.try_emplace(values.integer(0), r.series.size());
    if (fresh) r.series.push_back({values.text(1), values.text(2), {}, {}});
    Series &s = r.series[it->second];
    if (!values.isNull(5))
      s.points.emplace_back(values.real(3) / 1000.0, values.real(5));
    else
      s.texts.push_back(values.text(4));
  }
  return r;
}

}  // namespace history
