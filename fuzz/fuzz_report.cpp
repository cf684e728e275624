// Fuzz target of the report: a session's rows as a hostile history file could hold them
// (any double, NaN and infinities included, times that do not advance, texts with escape and
// NUL bytes) written into an in-memory history, read back by the streaming reader and
// turned into the HTML page. Checks beyond "no crash and no hang": no control byte reaches
// the page, every number in a chart's geometry is a plain decimal, and a chart never draws
// more than two points per pixel column.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "history_reader.h"
#include "history_schema.h"
#include "html_report.h"

namespace {

struct Input {
  const std::uint8_t *at, *end;
  std::uint8_t byte() { return at < end ? *at++ : 0; }
  std::string text() {
    std::size_t n = byte();
    n = std::min<std::size_t>(n, static_cast<std::size_t>(end - at));
    std::string s(reinterpret_cast<const char *>(at), n);
    at += n;
    return s;
  }
  // Eight bytes as they are: every bit pattern of a double, NaNs and infinities among them.
  double number() {
    std::uint8_t raw[8] = {};
    for (auto &b : raw) b = byte();
    double v = 0;
    std::memcpy(&v, raw, sizeof v);
    return v;
  }
  bool more() const { return at < end; }
};

void fill(history::Db &db, Input &in) {
  const std::uint8_t head = in.byte();
  db.prepare(
        "INSERT INTO sessions(id, started_at, ended_at, ended_normally, ecu, ecu_type, car, port, language) "
        "VALUES(1, ?, ?, ?, ?, 1, ?, ?, ?)")
      .bind(1, in.text())
      .bind(2, in.text())
      .bind(3, static_cast<int>(head >> 1 & 3))
      .bind(4, in.text())
      .bind(5, in.text())
      .bind(6, (head & 8) ? in.text() : std::string())
      .bind(7, std::string(head & 1 ? "ru" : "en"))
      .run();
  auto ident = db.prepare("INSERT OR IGNORE INTO identification(session_id, seq, name, value) VALUES(1, ?, ?, ?)");
  auto list = db.prepare("INSERT INTO code_lists(session_id, shown_at, title) VALUES(1, ?, ?)");
  auto code = db.prepare("INSERT OR IGNORE INTO codes(list_id, seq, code, text, status) VALUES(?, ?, ?, ?, ?)");
  auto other =
      db.prepare("INSERT INTO tests(session_id, started_at, name, steps, sent, outcome) VALUES(1, ?, ?, ?, ?, ?)");
  auto item = db.prepare("INSERT INTO items(session_id, name, unit) VALUES(1, ?, ?)");
  auto pass = db.prepare("INSERT INTO passes(session_id, engine_ms) VALUES(1, ?)");
  auto value = db.prepare("INSERT OR IGNORE INTO pass_values(pass_id, item_id, value, number) VALUES(?, ?, ?, ?)");
  int seq = 0, items = 0;
  std::int64_t lists = 0;
  while (in.more()) try {
      switch (in.byte() % 7) {
        case 0: ident.bind(1, ++seq).bind(2, in.text()).bind(3, in.text()).run(); break;
        case 1:
          list.bind(1, in.text()).bind(2, in.text()).run();
          lists = db.lastId();
          break;
        case 2:
          code.bind(1, lists).bind(2, ++seq).bind(3, in.text()).bind(4, in.text()).bind(5, in.text()).run();
          break;
        case 3:
          other.bind(1, in.text()).bind(2, in.text()).bind(3, in.text()).bind(4, in.text()).bind(5, in.text()).run();
          break;
        case 4:
          item.bind(1, in.text()).bind(2, in.text()).run();
          ++items;
          break;
        case 5: {
          // One pass: a value of each item, a number (any double) or a text.
          pass.bind(1, in.number()).run();
          const auto id = db.lastId();
          for (int i = 1; i <= items; ++i) {
            const std::uint8_t kind = in.byte();
            value.bind(1, id).bind(2, i).bind(3, in.text());
            if (kind & 1) value.bind(4, in.number());
            value.run();
          }
          break;
        }
        default: {
          // A long run of passes: start, step, first value, value step, count (up to 2000). A
          // step below the start's resolution is the time that does not advance.
          const double x0 = in.number(), dx = in.number(), y0 = in.number(), dy = in.number();
          const int n = (in.byte() << 8 | in.byte()) % 2000;
          if (items == 0) break;
          db.exec("BEGIN");
          for (int i = 0; i < n; ++i) {
            pass.bind(1, x0 + i * dx).run();
            value.bind(1, db.lastId())
                .bind(2, 1 + i % items)
                .bind(3, std::string("v"))
                .bind(4, y0 + (i % 97) * dy)
                .run();
          }
          db.exec("COMMIT");
        }
      }
    } catch (const history::DbError &) {
      // A row the schema refuses (a NaN time is stored as NULL): the others still go in.
    }
}

// The value of every geometry attribute in the page: digits, '.', '-', ',' and spaces only.
void checkGeometry(const std::string &html) {
  for (const char *attr :
       {" x=\"", " y=\"", " cx=\"", " cy=\"", " x1=\"", " y1=\"", " x2=\"", " y2=\"", " points=\""}) {
    const std::string key = attr;
    for (auto at = html.find(key); at != std::string::npos; at = html.find(key, at + 1)) {
      for (auto i = at + key.size(); i < html.size() && html[i] != '"'; ++i)
        if (!std::strchr("0123456789.-, ", html[i])) __builtin_trap();
    }
  }
  const std::string poly = "<polyline class=\"series\" points=\"";
  for (auto at = html.find(poly); at != std::string::npos; at = html.find(poly, at + 1)) {
    const auto end = html.find('"', at + poly.size());
    long pairs = 0;
    for (auto i = at + poly.size(); i < end; ++i) pairs += html[i] == ',';
    if (pairs > 2L * history::chartColumns()) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  Input in{data, data + size};
  history::Db db(":memory:", true);
  history::migrate(db);
  fill(db, in);
  const auto session = history::loadSession(db, 1);
  if (!session) return 0;
  const std::string html = history::htmlReport(*session);
  for (char c : html) {
    const auto b = static_cast<unsigned char>(c);
    if ((b < 0x20 && c != '\n' && c != '\t' && c != '\r') || b == 0x7F) __builtin_trap();
  }
  checkGeometry(html);
  return 0;
}
