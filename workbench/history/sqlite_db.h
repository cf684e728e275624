// A thin RAII layer over SQLite: the connection, prepared statements with bound values,
// and a transaction that rolls back unless committed. Every failure throws DbError.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace history {

class DbError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Statement;

class Db {
 public:
  // Opens (creating it when asked) the database file.
  Db(const std::string &path, bool create);
  // Opens for reading only. immutable: the file is read as it stands, without the shared
  // memory of a log, for a log-mode file in a directory where that cannot be made.
  struct ReadOnly {
    bool immutable = false;
  };
  Db(const std::string &path, ReadOnly mode);
  sqlite3 *get() const { return db_.get(); }
  void exec(const std::string &sql);
  // exec, tried again for a while when the file is locked in a way the busy handler is not
  // asked about (another connection setting up or recovering the log: two processes opening
  // a new history at once), or when a read start lost the race with another writer resetting
  // the log. Such a lock lasts moments.
  void execWhenFree(const std::string &sql);
  Statement prepare(const std::string &sql);
  std::int64_t lastId() const { return sqlite3_last_insert_rowid(db_.get()); }
  int userVersion();
  [[noreturn]] void fail(const std::string &what) const;

 private:
  struct Closer {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
  };
  std::unique_ptr<sqlite3, Closer> db_;
};

class Statement {
 public:
  Statement(Db &db, const std::string &sql);
  // Binding by position from 1; returns *this for chaining.
  Statement &bind(int at, std::int64_t v);
  Statement &bind(int at, int v) { return bind(at, static_cast<std::int64_t>(v)); }
  Statement &bind(int at, double v);
  Statement &bind(int at, const std::string &v);
  // The text is not copied: it must stay unchanged until the statement is run or reset.
  Statement &bindStatic(int at, const std::string &v);
  Statement &bind(int at, std::optional<double> v);
  Statement &bindNull(int at);
  // One step: true while a row is there to read.
  bool step();
  // Runs to the end and resets for the next use.
  void run();
  void reset();
  std::int64_t integer(int col) const { return sqlite3_column_int64(st_.get(), col); }
  double real(int col) const { return sqlite3_column_double(st_.get(), col); }
  bool isNull(int col) const { return sqlite3_column_type(st_.get(), col) == SQLITE_NULL; }
  std::string text(int col) const;

 private:
  struct Finalizer {
    void operator()(sqlite3_stmt *s) const { sqlite3_finalize(s); }
  };
  Db *db_;
  std::unique_ptr<sqlite3_stmt, Finalizer> st_;
};

// BEGIN IMMEDIATE: takes the write lock at once, so two writers wait on the busy timeout
// instead of failing on a lock upgrade.
class Transaction {
 public:
  explicit Transaction(Db &db);
  ~Transaction();
  Transaction(const Transaction &) = delete;
  Transaction &operator=(const Transaction &) = delete;
  void commit();

 private:
  Db &db_;
  bool done_ = false;
};

}  // namespace history
