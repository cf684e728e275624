// The shared history server under a garage's load: ten stations each recording an hour
// of live data with every item ticked (virtual clock) and copying it while they record,
// into one PostgreSQL; then the same ten files copied afterwards by `history sync` at
// once; then `history --server` over 100,000 sessions. A plain program (it needs a
// server): bench_history_server postgresql://USER@HOST/postgres (a role that may create
// databases), or the test server of test/e2e/history_server.
// VAZ_BENCH_MINUTES shortens the hour (the smoke run in ctest).
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "history_reader.h"
#include "pg_db.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

pid_t start(const std::vector<std::string> &args) {
  std::fflush(stdout);  // else the child's freopen writes the parent's buffer once more
  const pid_t pid = fork();
  if (pid != 0) return pid;
  if (!std::freopen("/dev/null", "w", stdout)) _exit(127);
  std::vector<char *> argv;
  for (const auto &a : args) argv.push_back(const_cast<char *>(a.c_str()));
  argv.push_back(nullptr);
  execv(argv[0], argv.data());
  _exit(127);
}

int finish(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string serverUrl(int argc, char **argv, const std::string &db) {
  if (argc > 1) return argv[1];
  std::ifstream in(VAZ_PG_INFO);
  std::string dir, port;
  if (!(in >> dir >> port)) return {};
  return "postgresql://postgres@/" + db + "?host=" + dir + "&port=" + port;
}

std::int64_t scalar(history::Pg &pg, const std::string &sql) { return pg.exec(sql).integer(0, 0); }

void freshDatabase(const std::string &adminUrl, const std::string &name) {
  history::Pg admin(adminUrl);
  admin.exec("DROP DATABASE IF EXISTS " + name + " WITH (FORCE)");
  admin.exec("CREATE DATABASE " + name);
}

}  // namespace

int main(int argc, char **argv) {
  const std::string vazdiag = std::string(VAZ_BUILD_DIR) + "vazdiag";
  const char *minutesEnv = std::getenv("VAZ_BENCH_MINUTES");
  const double minutes = minutesEnv ? std::atof(minutesEnv) : 60.0;
  constexpr int kStations = 10;
  const std::string admin = serverUrl(argc, argv, "postgres");
  if (admin.empty()) {
    std::fprintf(stderr, "usage: bench_history_server postgresql://USER@HOST/DB (no test server is running)\n");
    return 2;
  }
  // Databases next to the one named: the bench makes and drops its own.
  const auto dbUrl = [&](const std::string &name) {
    std::string u = admin;
    const auto at = u.rfind("/postgres");
    return at == std::string::npos ? u : u.replace(at, 9, "/" + name);
  };
  const fs::path dir = fs::temp_directory_path() / ("vazdiag_bench_server_" + std::to_string(getpid()));
  fs::create_directories(dir);

  // How many passes make the hour: the engine clock of a short run with every item.
  const auto script = [&](long passes) {
    const fs::path p = dir / ("live" + std::to_string(passes) + ".txt");
    std::ofstream(p) << "choose Live data\ntick all\nstay " << passes << "\nback\nback\n";
    return p.string();
  };
  const std::string probe = (dir / "probe.sqlite").string();
  finish(start({vazdiag, "--ecu", "m154", "--history", probe, "--record", "--script", script(200)}));
  double msPerPass = 0;
  {
    history::Db db = history::openHistory(probe);
    auto q = db.prepare("SELECT (MAX(engine_ms) - MIN(engine_ms)) / (COUNT(*) - 1), COUNT(*) FROM passes");
    q.step();
    msPerPass = q.real(0);
  }
  const long passes = static_cast<long>(minutes * 60000.0 / msPerPass);
  std::printf("every item, %.1f ms of engine clock a pass: %g minutes = %ld passes a station\n", msPerPass, minutes,
              passes);

  // Ten stations recording at once, each copying as it goes.
  freshDatabase(admin, "bench_live");
  const std::string live = dbUrl("bench_live");
  const std::string hour = script(passes);
  auto t = Clock::now();
  std::vector<pid_t> pids;
  for (int i = 1; i <= kStations; ++i)
    pids.push_back(
        start({vazdiag, "--ecu", "m154", "--history", (dir / ("bay" + std::to_string(i) + ".sqlite")).string(),
               "--station", "bay" + std::to_string(i), "--history-server", live, "--record", "--script", hour}));
  // Each process ends once the server holds its session (or after 15 s of trying): the lag
  // is from the session's end in its file (whole seconds) to that.
  int failed = 0;
  std::map<pid_t, std::time_t> endedAt;
  for (std::size_t n = 0; n < pids.size(); ++n) {
    int status = 0;
    const pid_t p = waitpid(-1, &status, 0);
    endedAt[p] = std::time(nullptr);
    failed += !WIFEXITED(status) || WEXITSTATUS(status) != 0;
  }
  const double liveWall = since(t);
  double lag = 0;
  for (std::size_t i = 0; i < pids.size(); ++i) {
    history::Db db = history::openHistory((dir / ("bay" + std::to_string(i + 1) + ".sqlite")).string());
    auto q = db.prepare("SELECT ended_at FROM sessions");
    q.step();
    std::tm tm{};
    strptime(q.text(0).c_str(), "%Y-%m-%d %H:%M:%S", &tm);
    tm.tm_isdst = -1;
    lag = std::max(lag, std::difftime(endedAt[pids[i]], std::mktime(&tm)));
  }
  history::Pg pg(live);
  const std::int64_t onServer = scalar(pg, "SELECT COUNT(*) FROM passes");
  const std::int64_t values = scalar(pg, "SELECT COUNT(*) FROM pass_values");
  const std::int64_t rows = onServer + values;
  std::printf(
      "live: %d stations recording and copying at once: %.1f s until every process ended with the server "
      "holding %lld of %ld passes (%lld rows), %.0f rows/s; %d failed\n",
      kStations, liveWall, static_cast<long long>(onServer), passes * kStations, static_cast<long long>(rows),
      static_cast<double>(rows) / liveWall, failed);
  std::printf("the server held each whole session at most %.0f s after it ended\n", lag);
  std::printf(
      "server size: %.1f MB (%.0f bytes a pass with its values)\n",
      static_cast<double>(scalar(pg, "SELECT pg_database_size(current_database())")) / 1e6,
      static_cast<double>(scalar(pg, "SELECT pg_database_size(current_database())")) / static_cast<double>(onServer));

  // The same ten files after a week offline: ten `history sync` at once into a new database.
  freshDatabase(admin, "bench_sync");
  const std::string later = dbUrl("bench_sync");
  t = Clock::now();
  pids.clear();
  for (int i = 1; i <= kStations; ++i)
    pids.push_back(start({vazdiag, "history", "sync", "--history",
                          (dir / ("bay" + std::to_string(i) + ".sqlite")).string(), "--history-server", later}));
  for (pid_t p : pids) failed += finish(p) != 0;
  const double syncWall = since(t);
  history::Pg pg2(later);
  const std::int64_t synced =
      scalar(pg2, "SELECT COUNT(*) FROM passes") + scalar(pg2, "SELECT COUNT(*) FROM pass_values");
  std::printf("sync: ten stations' files copied at once: %.1f s, %lld rows, %.0f rows/s\n", syncWall,
              static_cast<long long>(synced), static_cast<double>(synced) / syncWall);

  // 100,000 sessions (made on the server: each with a VIN, a code list with two codes and
  // three passes), then the list and a VIN search.
  const int sessions = minutes >= 60 ? 100000 : 2000;
  pg2.exec(R"(
INSERT INTO sessions(uuid, station, station_number, started_at, ended_at, ended_normally, ecu, ecu_type, car)
SELECT gen_random_uuid(), 'bay' || (n % 10 + 1), n, to_char(timestamp '2024-01-01' + n * interval '7 minutes',
       'YYYY-MM-DD HH24:MI:SS'), NULL, 1, 'm154', 1, ''
FROM generate_series(1, $1::int) n)",
           {std::to_string(sessions)});
  pg2.exec(R"(
INSERT INTO identification SELECT id, 1, 'VIN', 'XTA21099' || lpad(station_number::text, 9, '0') FROM sessions
WHERE station_number <= $1::int AND started_at < '2025')",
           {std::to_string(sessions)});
  pg2.exec(
      "INSERT INTO code_lists SELECT id, 1, started_at, 'Stored trouble codes' FROM sessions "
      "WHERE started_at < '2025'");
  pg2.exec(
      "INSERT INTO codes SELECT id, 1, s, 'P010' || s, 'text', 'stored' FROM sessions, generate_series(1, 2) s "
      "WHERE started_at < '2025'");
  pg2.exec("INSERT INTO passes SELECT id, o, o * 130 FROM sessions, generate_series(1, 3) o WHERE started_at < '2025'");
  pg2.exec("ANALYZE");
  const auto timed = [&](const std::vector<std::string> &args) {
    const auto t0 = Clock::now();
    failed += finish(start(args)) != 0;
    return since(t0);
  };
  const double listAll = timed({vazdiag, "history", "--server", "--history-server", later});
  const double byVin = timed({vazdiag, "history", "--server", "--history-server", later, "--vin", "XTA21099000000123"});
  const double byStation = timed({vazdiag, "history", "--server", "--history-server", later, "--since", "2025-06-01"});
  std::printf("history --server over %lld sessions: all %.2f s, --vin %.3f s, --since (few) %.3f s\n",
              static_cast<long long>(scalar(pg2, "SELECT COUNT(*) FROM sessions")), listAll, byVin, byStation);

  fs::remove_all(dir);
  return failed == 0 ? 0 : 1;
}
