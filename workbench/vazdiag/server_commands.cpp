// The history server's commands and the running session's copy, through libpq.
#include "background_copier.h"
#include "history_copier.h"
#include "history_reader.h"
#include "html_report.h"
#include "server_options.h"
#include "server_reader.h"
#include "server_schema.h"

#include <cstdio>
#include <fstream>
#include <iostream>

namespace vazdiag {
namespace {

constexpr const char *kNoServer =
    "no history server: name one with --history-server postgresql://USER@HOST/DB, VAZDIAG_HISTORY_SERVER or "
    "HistoryServer= in StdCfg.ini";

// How long the end of a session waits for the server to take its rest.
constexpr std::chrono::seconds kFinishBudget{15};

int sync(history::Pg &pg, const HistoryOptions &o) {
  history::Db db = history::openHistory(history_file(o));
  if (o.dryRun && pg.exec("SELECT to_regclass('sessions')").isNull(0, 0)) {
    auto q = db.prepare("SELECT (SELECT COUNT(*) FROM sessions), (SELECT COUNT(*) FROM passes)");
    q.step();
    std::cout << "the server holds no history yet: " << q.integer(0) << " sessions with " << q.integer(1)
              << " passes to copy\n";
    return 0;
  }
  if (!o.dryRun) history::migrateServer(pg);
  history::ServerCopier copier(db, pg, station_name(o));
  const auto pending = copier.pending();
  if (pending.empty()) {
    std::cout << "the server holds every session of " << history_file(o) << "\n";
    return 0;
  }
  std::int64_t passes = 0, rows = 0;
  for (const auto &p : pending) {
    passes += p.passes;
    if (o.dryRun)
      std::printf("session %lld: %lld passes%s to copy\n", static_cast<long long>(p.local),
                  static_cast<long long>(p.passes), p.rest ? " and its record" : "");
    else
      rows += copier.copy(p.local);
  }
  if (o.dryRun)
    std::printf("%zu sessions, %lld passes to copy\n", pending.size(), static_cast<long long>(passes));
  else
    std::printf("copied %zu sessions, %lld passes (%lld rows) to the server\n", pending.size(),
                static_cast<long long>(passes), static_cast<long long>(rows));
  return 0;
}

int list(history::Pg &pg, const HistoryOptions &o) {
  history::migrateServer(pg);
  const auto sessions = history::listServerSessions(pg, {o.vin, o.carFilter, o.since});
  if (sessions.empty()) {
    std::cout << "no session on the server matches\n";
    return 0;
  }
  std::printf("%6s  %-12s  %5s  %-19s  %-8s  %-8s  %-20s  %5s  %6s  %s\n", "#", "station", "no.", "started", "ECU",
              "car", "identification", "codes", "passes", "end");
  for (const auto &r : sessions) {
    const auto &s = r.session;
    std::printf("%6lld  %-12s  %5lld  %-19s  %-8s  %-8s  %-20s  %5d  %6lld  %s\n", static_cast<long long>(s.id),
                r.station.c_str(), static_cast<long long>(r.stationNumber), s.startedAt.c_str(), s.ecu.c_str(),
                s.car.empty() ? "-" : s.car.c_str(), s.firstField.empty() ? "-" : s.firstField.c_str(), s.codes,
                static_cast<long long>(r.passes), s.endedNormally ? "normal" : "cut short");
  }
  return 0;
}

int report(history::Pg &pg, const HistoryOptions &o) {
  history::migrateServer(pg);
  auto session = history::loadServerSession(pg, o.session);
  if (!session) {
    std::cerr << "vazdiag: no session " << o.session << " on the history server (see 'vazdiag history --server')\n";
    return 1;
  }
  const std::string out = o.output.empty() ? "vazdiag-report-" + std::to_string(o.session) + ".html" : o.output;
  std::ofstream file(out, std::ios::binary);
  file << history::htmlReport(*session);
  if (!file.flush()) {
    std::cerr << "vazdiag: cannot write " << out << "\n";
    return 1;
  }
  std::cout << out << "\n";
  return 0;
}

class Copy : public SessionCopy {
 public:
  Copy(const std::string &file, const std::string &server, std::int64_t session) : copier_(file, server, session) {}
  std::string finish() override { return copier_.finish(kFinishBudget); }

 private:
  history::BackgroundCopier copier_;
};

}  // namespace

std::string server_address_problem(const std::string &server) {
  char *error = nullptr;
  PQconninfoOption *options = PQconninfoParse(server.c_str(), &error);
  if (!options) {
    std::string why = error ? error : "out of memory";
    PQfreemem(error);
    while (!why.empty() && why.back() == '\n') why.pop_back();
    return "the server address cannot be read: " + why;
  }
  bool password = false;
  for (auto *opt = options; opt->keyword; ++opt)
    password = password || (std::string(opt->keyword) == "password" && opt->val && *opt->val);
  PQconninfoFree(options);
  if (password)
    return "the server address holds a password, which vazdiag does not take (it would show in the process list "
           "and the shell's history): leave it out and put it in ~/.pgpass (or the file PGPASSFILE names), or use "
           "a service from PGSERVICE";
  return {};
}

int run_server_command(const HistoryOptions &o) {
  const std::string server = history_server(o);
  if (server.empty()) {
    std::cerr << "vazdiag: " << kNoServer << "\n";
    return 2;
  }
  if (const std::string problem = server_address_problem(server); !problem.empty()) {
    std::cerr << "vazdiag: history server: " << problem << "\n";
    return 2;
  }
  try {
    history::Pg pg(server);
    if (o.command == "sync") return sync(pg, o);
    return o.command == "report" ? report(pg, o) : list(pg, o);
  } catch (const history::PgError &e) {
    std::cerr << "vazdiag: history server: " << e.what() << "\n";
  } catch (const history::DbError &e) {
    std::cerr << "vazdiag: history " << history_file(o) << ": " << e.what() << "\n";
  }
  return 1;
}

std::unique_ptr<SessionCopy> start_session_copy(const std::string &file, const std::string &server,
                                                std::int64_t session) {
  return std::make_unique<Copy>(file, server, session);
}

}  // namespace vazdiag
