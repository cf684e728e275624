// Recording of a session into the history database.
#include "history_writer.h"

#include "history_schema.h"
#include "workbench/code_column.h"

#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <filesystem>

namespace history {
namespace {

constexpr auto kBatch = std::chrono::seconds(1);

// A damaged file goes to FILE.damaged-YYYYMMDD-HHMMSS (with its log beside it), where the
// user can still recover what it holds.
std::string moveAside(const std::string &path) {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, ".damaged-%Y%m%d-%H%M%S", &tm);
  std::string aside = path + stamp;
  for (int n = 2; std::filesystem::exists(aside); ++n) aside = path + stamp + "-" + std::to_string(n);
  if (std::rename(path.c_str(), aside.c_str()) != 0) throw DbError("cannot move the damaged history aside to " + aside);
  for (const char *log : {"-wal", "-shm"}) std::rename((path + log).c_str(), (aside + log).c_str());
  return aside;
}

Db openFile(const std::string &path, std::string &movedAside, std::string &damaged) {
  const auto dir = std::filesystem::path(path).parent_path();
  std::error_code ec;
  if (!dir.empty()) std::filesystem::create_directories(dir, ec);
  // SQLite would open a FIFO and wait on it for ever; a directory it cannot use anyway.
  struct stat st {};
  const bool exists = stat(path.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) throw DbError(path + " is not a file");
  if (exists) {
    const std::string fault = [&path] {
      Db db(path, false);
      return damage(db);
    }();
    if (!fault.empty()) {
      damaged = fault;
      movedAside = moveAside(path);
    }
  }
  Db db(path, true);
  configure(db);
  migrate(db);
  return db;
}

}  // namespace

std::string now() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
  return buf;
}

HistoryWriter::HistoryWriter(const std::string &path)
    : db_(openFile(path, movedAside_, damage_)),
      touch_(db_, "UPDATE sessions SET ended_at = ?2 WHERE id = ?1"),
      pass_(db_, "INSERT INTO passes(session_id, engine_ms) VALUES(?1, ?2)"),
      value_(db_, "INSERT OR IGNORE INTO pass_values(pass_id, item_id, value, number) VALUES(?1, ?2, ?3, ?4)") {}

HistoryWriter::~HistoryWriter() {
  try {
    flush();
  } catch (const DbError &) {
    // Too late to tell anyone: the session is over; at most the last second is lost.
  }
}

void HistoryWriter::touch() { touch_.bind(1, session_).bind(2, now()).run(); }

void HistoryWriter::beginSession(const SessionInfo &info) {
  flush();
  Transaction t(db_);
  const std::string started = now();
  db_.prepare(std::string("INSERT INTO sessions(started_at, ended_at, ecu, ecu_type, car, port, language, station, "
                          "uuid) VALUES(?,?,?,?,?,?,?,?,") +
              kNewUuid + ")")
      .bind(1, started)
      .bind(2, started)
      .bind(3, info.ecu)
      .bind(4, info.ecuType)
      .bind(5, info.car)
      .bind(6, info.port)
      .bind(7, info.language)
      .bind(8, info.station)
      .run();
  session_ = db_.lastId();
  items_.clear();
  t.commit();
}

void HistoryWriter::unitFound(const std::string &ecu, int ecuType) {
  // One statement, atomic on its own: it may fall inside a batch of passes.
  db_.prepare("UPDATE sessions SET ecu = ?2, ecu_type = ?3 WHERE id = ?1")
      .bind(1, session_)
      .bind(2, ecu)
      .bind(3, ecuType)
      .run();
}

void HistoryWriter::identification(const std::vector<Field> &fields) {
  flush();
  Transaction t(db_);
  db_.prepare("DELETE FROM identification WHERE session_id = ?").bind(1, session_).run();
  auto add = db_.prepare("INSERT INTO identification(session_id, seq, name, value) VALUES(?,?,?,?)");
  int seq = 0;
  for (const auto &[name, value] : fields) add.bind(1, session_).bind(2, ++seq).bind(3, name).bind(4, value).run();
  touch();
  t.commit();
}

void HistoryWriter::codeList(const std::string &title, const std::vector<Field> &codes) {
  flush();
  Transaction t(db_);
  db_.prepare("INSERT INTO code_lists(session_id, shown_at, title) VALUES(?,?,?)")
      .bind(1, session_)
      .bind(2, now())
      .bind(3, title)
      .run();
  const auto list = db_.lastId();
  auto add = db_.prepare("INSERT INTO codes(list_id, seq, code, text, status) VALUES(?,?,?,?,?)");
  int seq = 0;
  for (const auto &[shown, status] : codes) {
    const workbench::CodeColumns cols = workbench::split_code(shown);
    add.bind(1, list)
        .bind(2, ++seq)
        .bind(3, std::string(cols.code))
        .bind(4, std::string(cols.text))
        .bind(5, status)
        .run();
  }
  touch();
  t.commit();
}

void HistoryWriter::clear(bool ok, const std::string &result, const std::string &sent) {
  flush();
  Transaction t(db_);
  db_.prepare("INSERT INTO clears(session_id, done_at, ok, result, sent) VALUES(?,?,?,?,?)")
      .bind(1, session_)
      .bind(2, now())
      .bind(3, ok ? 1 : 0)
      .bind(4, result)
      .bind(5, sent)
      .run();
  touch();
  t.commit();
}

std::int64_t HistoryWriter::startTest(const std::string &name) {
  flush();
  Transaction t(db_);
  db_.prepare("INSERT INTO tests(session_id, started_at, name) VALUES(?,?,?)")
      .bind(1, session_)
      .bind(2, now())
      .bind(3, name)
      .run();
  const auto id = db_.lastId();
  touch();
  t.commit();
  return id;
}

void HistoryWriter::updateTest(std::int64_t test, const std::string &steps, const std::string &sent,
                               const std::string &outcome) {
  flush();
  Transaction t(db_);
  db_.prepare("UPDATE tests SET steps = ?2, sent = ?3, outcome = ?4 WHERE id = ?1")
      .bind(1, test)
      .bind(2, steps)
      .bind(3, sent)
      .bind(4, outcome)
      .run();
  touch();
  t.commit();
}

void HistoryWriter::notice(const std::string &action, const std::string &text) {
  flush();
  Transaction t(db_);
  db_.prepare("INSERT INTO notices(session_id, action, text) VALUES(?,?,?)")
      .bind(1, session_)
      .bind(2, action)
      .bind(3, text)
      .run();
  touch();
  t.commit();
}

std::int64_t HistoryWriter::itemId(const PassItem &item) {
  if (auto it = items_.find(item.shown); it != items_.end()) return it->second;
  // A new item is written at once, in a transaction of its own: its id goes into the batch.
  Transaction t(db_);
  db_.prepare("INSERT OR IGNORE INTO items(session_id, name, unit) VALUES(?,?,?)")
      .bind(1, session_)
      .bind(2, item.name)
      .bind(3, item.unit)
      .run();
  auto find = db_.prepare("SELECT id FROM items WHERE session_id = ? AND name = ? AND unit = ?");
  find.bind(1, session_).bind(2, item.name).bind(3, item.unit);
  if (!find.step()) throw DbError("item vanished: " + item.shown);
  const auto id = find.integer(0);
  find.reset();
  t.commit();
  return items_[item.shown] = id;
}

void HistoryWriter::pass(double engineMs, std::span<const PassItem> items) {
  if (passes_.empty()) batchStart_ = std::chrono::steady_clock::now();
  for (const PassItem &item : items) {
    if (valueCount_ == values_.size()) values_.emplace_back();
    // Assigned into the room of an earlier batch: no allocation once the buffers have grown.
    values_[valueCount_].item = itemId(item);
    values_[valueCount_].value = item.value;
    values_[valueCount_].number = item.number;
    ++valueCount_;
  }
  passes_.push_back({engineMs, items.size()});
  if (std::chrono::steady_clock::now() - batchStart_ >= kBatch) flush();
}

void HistoryWriter::flush() {
  if (passes_.empty()) return;
  // One transaction for the batch: one write to the log, no fsync.
  Transaction t(db_);
  std::size_t next = 0;
  for (const PendingPass &p : passes_) {
    pass_.bind(1, session_).bind(2, p.engineMs).run();
    const auto passId = db_.lastId();
    for (std::size_t end = next + p.values; next < end; ++next) {
      const PendingValue &v = values_[next];
      value_.bind(1, passId).bind(2, v.item).bindStatic(3, v.value).bind(4, v.number).run();
    }
  }
  touch();
  t.commit();
  passes_.clear();
  valueCount_ = 0;
}

void HistoryWriter::endSession(bool commFailure) {
  flush();
  Transaction t(db_);
  db_.prepare("UPDATE sessions SET ended_normally = ?3, ended_at = ?2 WHERE id = ?1")
      .bind(1, session_)
      .bind(2, now())
      .bind(3, commFailure ? kEndedOnCommFailure : kEndedNormally)
      .run();
  t.commit();
}

}  // namespace history
