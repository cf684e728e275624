// Queries behind `vazdiag history --server` and `vazdiag report N --server`.
#include "server_reader.h"

#include "history_schema.h"

#include <map>
#include <set>

namespace history {
namespace {

constexpr const char *kSummary = R"(
SELECT s.id, s.started_at, COALESCE(s.ended_at, ''), s.ended_normally, s.ecu, s.car, s.port, s.language,
       COALESCE((SELECT value FROM identification i WHERE i.session = s.id ORDER BY seq LIMIT 1), ''),
       (SELECT COUNT(DISTINCT c.code) FROM codes c WHERE c.session = s.id),
       s.station, s.station_number,
       (SELECT COALESCE(MAX(ordinal), 0) FROM passes p WHERE p.session = s.id)
FROM sessions s)";

ServerSessionSummary summaryOf(const PgResult &r, int row) {
  ServerSessionSummary out;
  SessionSummary &s = out.session;
  s.id = r.integer(row, 0);
  s.startedAt = r.text(row, 1);
  s.endedAt = r.text(row, 2);
  s.endedNormally = r.integer(row, 3) == kEndedNormally;
  s.commFailure = r.integer(row, 3) == kEndedOnCommFailure;
  s.ecu = r.text(row, 4);
  s.car = r.text(row, 5);
  s.port = r.text(row, 6);
  s.language = r.text(row, 7);
  s.firstField = r.text(row, 8);
  s.codes = static_cast<int>(r.integer(row, 9));
  out.station = r.text(row, 10);
  out.stationNumber = r.integer(row, 11);
  out.passes = r.integer(row, 12);
  return out;
}

// LIKE takes % and _ as wildcards: a VIN is matched as written.
std::string likePrefix(const std::string &text) {
  std::string out;
  for (char ch : text) {
    if (ch == '%' || ch == '_' || ch == '\\') out += '\\';
    out += ch;
  }
  return out + "%";
}

}  // namespace

std::vector<ServerSessionSummary> listServerSessions(Pg &pg, const ServerFilter &filter) {
  // Only the filters asked for go into the statement (their values stay parameters), so
  // a VIN search starts from the identification index instead of every session.
  std::string sql = std::string(kSummary) + " WHERE s.started_at >= $1";
  std::vector<PgParam> params{filter.since};
  if (!filter.vin.empty()) {
    params.emplace_back(likePrefix(filter.vin));
    sql += " AND s.id IN (SELECT session FROM identification WHERE value LIKE $" + std::to_string(params.size()) + ")";
  }
  if (!filter.car.empty()) {
    params.emplace_back(filter.car);
    sql += " AND s.id IN (SELECT session FROM identification WHERE strpos(value, $" + std::to_string(params.size()) +
           ") > 0)";
  }
  auto r = pg.exec(sql + " ORDER BY s.started_at DESC, s.id DESC", params);
  std::vector<ServerSessionSummary> out;
  out.reserve(static_cast<std::size_t>(r.rows()));
  for (int row = 0; row < r.rows(); ++row) out.push_back(summaryOf(r, row));
  return out;
}

std::optional<SessionRecord> loadServerSession(Pg &pg, std::int64_t id) {
  const std::string sid = std::to_string(id);
  auto head = pg.exec(std::string(kSummary) + " WHERE s.id = $1", {sid});
  if (head.rows() == 0) return std::nullopt;
  SessionRecord r;
  const ServerSessionSummary summary = summaryOf(head, 0);
  r.summary = summary.session;
  r.summary.id = summary.stationNumber;
  r.passes = static_cast<int>(summary.passes);

  auto ident = pg.exec("SELECT name, value FROM identification WHERE session = $1 ORDER BY seq", {sid});
  for (int i = 0; i < ident.rows(); ++i) r.identification.emplace_back(ident.text(i, 0), ident.text(i, 1));

  auto lists = pg.exec("SELECT ordinal, title, shown_at FROM code_lists WHERE session = $1 ORDER BY ordinal", {sid});
  auto codes = pg.exec("SELECT list, code, text, status FROM codes WHERE session = $1 ORDER BY list, seq", {sid});
  std::map<std::int64_t, std::size_t> listAt;
  for (int i = 0; i < lists.rows(); ++i) {
    listAt[lists.integer(i, 0)] = r.codeLists.size();
    r.codeLists.push_back({lists.text(i, 1), lists.text(i, 2), {}});
  }
  for (int i = 0; i < codes.rows(); ++i)
    if (auto at = listAt.find(codes.integer(i, 0)); at != listAt.end())
      r.codeLists[at->second].codes.push_back({codes.text(i, 1), codes.text(i, 2), codes.text(i, 3)});

  auto clears = pg.exec("SELECT done_at, result, sent, ok FROM clears WHERE session = $1 ORDER BY ordinal", {sid});
  for (int i = 0; i < clears.rows(); ++i)
    r.clears.push_back({clears.text(i, 0), clears.text(i, 1), clears.text(i, 2), clears.text(i, 3) == "t"});

  auto tests =
      pg.exec("SELECT started_at, name, steps, sent, outcome FROM tests WHERE session = $1 ORDER BY ordinal", {sid});
  for (int i = 0; i < tests.rows(); ++i)
    r.tests.push_back({tests.text(i, 0), tests.text(i, 1), tests.text(i, 2), tests.text(i, 3), tests.text(i, 4)});

  auto notices = pg.exec("SELECT action, text FROM notices WHERE session = $1 ORDER BY ordinal", {sid});
  for (int i = 0; i < notices.rows(); ++i) r.notices.push_back({notices.text(i, 0), notices.text(i, 1)});

  auto count = pg.exec("SELECT COUNT(*) FROM passes WHERE session = $1", {sid});
  r.passes = count.integer(0, 0);
  // The time axis every chart of the session shares: its first and last drawable pass.
  auto span = pg.exec(
      "SELECT MIN(engine_ms), MAX(engine_ms) FROM passes WHERE session = $1 AND engine_ms BETWEEN -1e300 AND 1e300",
      {sid});
  const double x0 = span.isNull(0, 0) ? 0 : span.real(0, 0) / 1000.0;
  const double x1 = span.isNull(0, 1) ? 0 : span.real(0, 1) / 1000.0;

  // Series in the order their items were first shown, as the local reader builds them.
  auto values = pg.exec(R"(
SELECT v.item, i.name, i.unit, p.engine_ms, v.value, v.number
FROM passes p JOIN pass_values v ON v.session = p.session AND v.pass = p.ordinal
JOIN items i ON i.session = v.session AND i.ordinal = v.item
WHERE p.session = $1 ORDER BY p.ordinal, v.item)",
                        {sid});
  struct Reading {
    ChartBuilder chart;
    std::set<std::string> seen;
  };
  std::vector<Reading> readings;  // one per series
  std::map<std::int64_t, std::size_t> at;
  for (int i = 0; i < values.rows(); ++i) {
    auto [it, fresh] = at.try_emplace(values.integer(i, 0), r.series.size());
    if (fresh) {
      r.series.push_back({values.text(i, 1), values.text(i, 2), {}, {}});
      readings.push_back({ChartBuilder(x0, x1), {}});
    }
    Series &s = r.series[it->second];
    Reading &reading = readings[it->second];
    if (!values.isNull(i, 5)) {
      reading.chart.add(values.real(i, 3) / 1000.0, values.real(i, 5));
    } else if (std::string text = values.text(i, 4); !reading.seen.count(text)) {
      if (s.texts.size() < kMaxTexts) {
        reading.seen.insert(text);
        s.texts.push_back(std::move(text));
      } else {
        s.moreTexts = true;
      }
    }
  }
  for (std::size_t i = 0; i < readings.size(); ++i) r.series[i].chart = readings[i].chart.finish();
  return r;
}

}  // namespace history
