// SQLite connection, statements and transactions.
#include "sqlite_db.h"

#include "sqlite_memory.h"

namespace history {

Db::Db(const std::string &path, bool create) {
  useSqliteMemoryPool();
  sqlite3 *raw = nullptr;
  const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
  const int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
  db_.reset(raw);  // a failed open still hands out a handle that must be closed
  if (rc != SQLITE_OK) throw DbError("cannot open " + path + ": " + (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)));
  sqlite3_extended_result_codes(raw, 1);
}

namespace {

// A file name as a URI path: the characters a URI gives a meaning are escaped.
std::string uriOf(const std::string &path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = "file:";
  for (char ch : path) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '%' || c == '?' || c == '#' || c < 0x20 || c == 0x7F) {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 0xF];
    } else {
      uri += ch;
    }
  }
  return uri;
}

}  // namespace

Db::Db(const std::string &path, ReadOnly mode) {
  useSqliteMemoryPool();
  sqlite3 *raw = nullptr;
  const std::string name = mode.immutable ? uriOf(path) + "?immutable=1" : path;
  const int flags = SQLITE_OPEN_READONLY | (mode.immutable ? SQLITE_OPEN_URI : 0);
  const int rc = sqlite3_open_v2(name.c_str(), &raw, flags, nullptr);
  db_.reset(raw);
  if (rc != SQLITE_OK) throw DbError("cannot open " + path + ": " + (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)));
  sqlite3_extended_result_codes(raw, 1);
}

void Db::fail(const std::string &what) const { throw DbError(what + ": " + sqlite3_errmsg(db_.get())); }

void Db::exec(const std::string &sql) {
  char *message = nullptr;
  if (sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    std::string why = message ? message : "unknown error";
    sqlite3_free(message);
    throw DbError(why + " (in: " + sql.substr(0, 60) + ")");
  }
}

Statement Db::prepare(const std::string &sql) { return Statement(*this, sql); }

int Db::userVersion() {
  Statement s(*this, "PRAGMA user_version");
  s.step();
  return static_cast<int>(s.integer(0));
}

Statement::Statement(Db &db, const std::string &sql) : db_(&db) {
  sqlite3_stmt *raw = nullptr;
  if (sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) db.fail("cannot prepare " + sql);
  st_.reset(raw);
}

Statement &Statement::bind(int at, std::int64_t v) {
  if (sqlite3_bind_int64(st_.get(), at, v) != SQLITE_OK) db_->fail("bind");
  return *this;
}

Statement &Statement::bind(int at, double v) {
  if (sqlite3_bind_double(st_.get(), at, v) != SQLITE_OK) db_->fail("bind");
  return *this;
}

Statement &Statement::bind(int at, const std::string &v) {
  if (sqlite3_bind_text(st_.get(), at, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT) != SQLITE_OK)
    db_->fail("bind");
  return *this;
}

Statement &Statement::bindStatic(int at, const std::string &v) {
  if (sqlite3_bind_text(st_.get(), at, v.data(), static_cast<int>(v.size()), SQLITE_STATIC) != SQLITE_OK)
    db_->fail("bind");
  return *this;
}

Statement &Statement::bind(int at, std::optional<double> v) { return v ? bind(at, *v) : bindNull(at); }

Statement &Statement::bindNull(int at) {
  if (sqlite3_bind_null(st_.get(), at) != SQLITE_OK) db_->fail("bind");
  return *this;
}

bool Statement::step() {
  const int rc = sqlite3_step(st_.get());
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  const std::string why = sqlite3_errmsg(db_->get());
  sqlite3_reset(st_.get());
  throw DbError(why);
}

void Statement::run() {
  while (step()) {}
  reset();
}

void Statement::reset() {
  sqlite3_reset(st_.get());
  sqlite3_clear_bindings(st_.get());
}

std::string Statement::text(int col) const {
  const auto *p = sqlite3_column_text(st_.get(), col);
  return p ? std::string(reinterpret_cast<const char *>(p),
                         static_cast<std::size_t>(sqlite3_column_bytes(st_.get(), col)))
           : std::string();
}

void Db::execWhenFree(const std::string &sql) {
  // About ten seconds of 10 ms waits, as long as the busy handler waits: on a loaded machine
  // another writer can keep the file busy past a shorter window.
  constexpr int kAttempts = 1000;
  for (int attempt = 0;; ++attempt) {
    const int rc = sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) return;
    // SQLITE_PROTOCOL is the log's own race (a read starting while another writer resets
    // the log after a checkpoint) that SQLite gave up resolving: as short-lived as BUSY.
    const bool transient = (rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_PROTOCOL;
    if (!transient || attempt == kAttempts) fail(sql);
    sqlite3_sleep(10);
  }
}

Transaction::Transaction(Db &db) : db_(db) { db_.execWhenFree("BEGIN IMMEDIATE"); }

Transaction::~Transaction() {
  if (!done_) sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
  db_.exec("COMMIT");
  done_ = true;
}

}  // namespace history
