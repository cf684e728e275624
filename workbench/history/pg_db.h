// A thin RAII layer over libpq for the shared history server: the connection, results,
// statements with parameters passed apart from their text (never pasted into SQL) and a
// transaction that rolls back unless committed. Every failure throws PgError.
#pragma once

#include <libpq-fe.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace history {

class PgError : public std::runtime_error {
 public:
  // lost: the connection is gone (server down, network cut), worth trying again later.
  PgError(const std::string &what, bool lost) : std::runtime_error(what), lost_(lost) {}
  bool lost() const { return lost_; }

 private:
  bool lost_;
};

using PgParam = std::optional<std::string>;  // nothing = NULL

class PgResult {
 public:
  explicit PgResult(PGresult *r) : r_(r) {}
  int rows() const { return PQntuples(r_.get()); }
  // Rows an INSERT or UPDATE wrote.
  std::int64_t written() const;
  std::string text(int row, int col) const { return PQgetvalue(r_.get(), row, col); }
  bool isNull(int row, int col) const { return PQgetisnull(r_.get(), row, col) != 0; }
  std::int64_t integer(int row, int col) const;
  double real(int row, int col) const;

 private:
  struct Clear {
    void operator()(PGresult *r) const { PQclear(r); }
  };
  std::unique_ptr<PGresult, Clear> r_;
};

class Pg {
 public:
  // Connects with a libpq connection string or URL; the password comes from libpq's own
  // sources (~/.pgpass, PGPASSFILE, PGSERVICE, the environment).
  explicit Pg(const std::string &conninfo, int connectTimeoutS = 5);
  PgResult exec(const std::string &sql, const std::vector<PgParam> &params = {});
  // A statement prepared once per connection under name; run by exec(name, ...).
  void prepare(const std::string &name, const std::string &sql);
  PgResult run(const std::string &name, const std::vector<PgParam> &params);
  PGconn *get() const { return c_.get(); }

 private:
  PgResult check(PGresult *r, const std::string &what);
  struct Finish {
    void operator()(PGconn *c) const { PQfinish(c); }
  };
  std::unique_ptr<PGconn, Finish> c_;
};

class PgTransaction {
 public:
  explicit PgTransaction(Pg &pg) : pg_(pg) { pg_.exec("BEGIN"); }
  ~PgTransaction();
  PgTransaction(const PgTransaction &) = delete;
  PgTransaction &operator=(const PgTransaction &) = delete;
  void commit();

 private:
  Pg &pg_;
  bool done_ = false;
};

// A PostgreSQL array literal ({"a","b",NULL}) of texts, for one parameter that carries a
// whole batch.
std::string pgArray(const std::vector<PgParam> &values);

}  // namespace history
