// libpq connection, results and transactions.
#include "pg_db.h"

#include <cstdlib>

namespace history {
namespace {

std::string message(PGconn *c) {
  std::string m = PQerrorMessage(c);
  while (!m.empty() && (m.back() == '\n' || m.back() == ' ')) m.pop_back();
  // libpq's multi-line messages read better on one line after "vazdiag: history server: ".
  for (auto &ch : m)
    if (ch == '\n') ch = ' ';
  return m;
}

}  // namespace

std::int64_t PgResult::integer(int row, int col) const {
  return std::strtoll(PQgetvalue(r_.get(), row, col), nullptr, 10);
}

std::int64_t PgResult::written() const { return std::strtoll(PQcmdTuples(r_.get()), nullptr, 10); }

double PgResult::real(int row, int col) const { return std::strtod(PQgetvalue(r_.get(), row, col), nullptr); }

Pg::Pg(const std::string &conninfo, int connectTimeoutS) {
  const std::string timeout = std::to_string(connectTimeoutS);
  // Keywords and values apart, expand_dbname = 1: conninfo is taken as a URL or a keyword
  // string, and the timeout stands unless it names its own.
  const char *keys[] = {"connect_timeout", "dbname", "application_name", nullptr};
  const char *values[] = {timeout.c_str(), conninfo.c_str(), "vazdiag", nullptr};
  c_.reset(PQconnectdbParams(keys, values, 1));
  if (!c_) throw PgError("out of memory", true);
  if (PQstatus(c_.get()) != CONNECTION_OK) {
    // A refused password is no outage: trying again will not help.
    const bool auth = PQconnectionNeedsPassword(c_.get()) || PQconnectionUsedPassword(c_.get());
    throw PgError(message(c_.get()), !auth);
  }
  exec("SET client_min_messages = warning");
  // The just-in-time compiler spends seconds on a list of many sessions that takes a
  // fraction of that to run; a server without one (before version 11) just says no.
  PQclear(PQexec(c_.get(), "SET jit = off"));
}

PgResult Pg::check(PGresult *r, const std::string &what) {
  PgResult result(r);
  const auto status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
  if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return result;
  const bool lost = PQstatus(c_.get()) != CONNECTION_OK;
  throw PgError(message(c_.get()) + " (in: " + what.substr(0, 60) + ")", lost);
}

PgResult Pg::exec(const std::string &sql, const std::vector<PgParam> &params) {
  // Without parameters: the simple protocol, which takes several statements (a schema step).
  if (params.empty()) return check(PQexec(c_.get(), sql.c_str()), sql);
  std::vector<const char *> values;
  for (const auto &p : params) values.push_back(p ? p->c_str() : nullptr);
  return check(
      PQexecParams(c_.get(), sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(), nullptr, nullptr, 0),
      sql);
}

void Pg::prepare(const std::string &name, const std::string &sql) {
  check(PQprepare(c_.get(), name.c_str(), sql.c_str(), 0, nullptr), sql);
}

PgResult Pg::run(const std::string &name, const std::vector<PgParam> &params) {
  std::vector<const char *> values;
  for (const auto &p : params) values.push_back(p ? p->c_str() : nullptr);
  return check(
      PQexecPrepared(c_.get(), name.c_str(), static_cast<int>(values.size()), values.data(), nullptr, nullptr, 0),
      name);
}

PgTransaction::~PgTransaction() {
  if (!done_) PQclear(PQexec(pg_.get(), "ROLLBACK"));
}

void PgTransaction::commit() {
  pg_.exec("COMMIT");
  done_ = true;
}

std::string pgArray(const std::vector<PgParam> &values) {
  std::string out = "{";
  for (const auto &v : values) {
    if (out.size() > 1) out += ',';
    if (!v) {
      out += "NULL";
      continue;
    }
    out += '"';
    for (char ch : *v) {
      if (ch == '"' || ch == '\\') out += '\\';
      out += ch;
    }
    out += '"';
  }
  return out + "}";
}

}  // namespace history
