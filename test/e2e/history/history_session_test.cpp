// The history as vazdiag writes it into a real SQLite file: the rows a scripted session
// leaves, a session killed in the middle of live data, two processes at once, and a file
// of the first schema version brought up to date.
#include "history_process.h"
#include "history_reader.h"
#include "history_schema.h"
#include "workbench/code_column.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <thread>

namespace {

using histtest::TempDir;

std::int64_t scalar(history::Db &db, const std::string &sql) {
  auto q = db.prepare(sql);
  return q.step() ? q.integer(0) : -1;
}

std::string writeScript(const TempDir &dir, const std::string &text) {
  const std::string path = dir / "script.txt";
  std::ofstream(path) << text;
  return path;
}

long csvRows(const std::string &path) {
  const std::string text = histtest::readFile(path);
  long lines = static_cast<long>(std::count(text.begin(), text.end(), '\n'));
  return lines > 0 ? lines - 1 : 0;  // the header
}

// Rows of the CSV log stamped within a second (and a margin for a loaded machine) of its last.
long csvRowsInLastSecond(const std::string &path) {
  std::istringstream in(histtest::readFile(path));
  std::vector<double> stamps;
  for (std::string line; std::getline(in, line);) {
    int h = 0, m = 0;
    double sec = 0;
    // 2024-05-01T10:00:00.123,...
    if (line.size() > 11 && std::sscanf(line.c_str() + 11, "%d:%d:%lf", &h, &m, &sec) == 3)
      stamps.push_back(h * 3600.0 + m * 60.0 + sec);
  }
  long n = 0;
  for (double t : stamps) n += !stamps.empty() && t > stamps.back() - 1.25;
  return n;
}

TEST(History, ScriptedSessionLeavesTheExpectedRows) {
  TempDir dir("vazdiag_history_rows");
  const std::string db = dir / "h.sqlite";
  const std::string script =
      writeScript(dir,
                  "choose Identification\nstay 1\nchoose Stored trouble codes\nleave\nchoose Clear trouble codes\nyes\n"
                  "choose Live data\ntick 1 4 11\nstay 7\nback\nchoose Actuator tests\nchoose Injectors\nyes\n"
                  "choose Switch off\nback\nback\nback\n");
  ASSERT_EQ(histtest::run({histtest::vazdiag(), "--ecu", "m154", "--car-option", "dtc=0102,0325", "--history", db,
                           "--record", "--script", script}),
            0);
  history::Db h = history::openHistory(db);
  struct Case {
    const char *sql;
    std::int64_t expected;
  };
  const Case cases[] = {
      {"SELECT COUNT(*) FROM sessions WHERE ended_normally = 1 AND ecu = 'm154' AND car = 'm154'", 1},
      {"PRAGMA user_version", history::kSchemaVersion},
      {"SELECT COUNT(*) FROM identification WHERE value LIKE 'XTA%' AND seq = 1", 1},
      {"SELECT COUNT(*) FROM codes WHERE code IN ('P0102', 'P0325') AND text <> ''", 2},
      {"SELECT COUNT(*) FROM clears WHERE ok = 1 AND sent LIKE '%F1 14 FF 00%'", 1},
      {"SELECT COUNT(*) FROM passes", 7},
      {"SELECT COUNT(*) FROM pass_values v JOIN items i ON i.id = v.item_id WHERE i.unit = 'rpm' AND number > 0", 7},
      {"SELECT COUNT(*) FROM items", 3},
      {"SELECT COUNT(*) FROM tests WHERE name = 'Injectors / Switch off' AND sent LIKE '%F1 30 01 06 00%'", 1},
      {"SELECT COUNT(*) FROM passes p1 JOIN passes p2 ON p2.id = p1.id + 1 WHERE p2.engine_ms <= p1.engine_ms", 0},
  };
  for (const Case &c : cases) EXPECT_EQ(scalar(h, c.sql), c.expected) << c.sql;
}

TEST(History, KilledInLiveDataKeepsEveryPassShown) {
  TempDir dir("vazdiag_history_kill");
  const std::string db = dir / "h.sqlite", csv = dir / "live.csv";
  const std::string script = writeScript(dir, "choose Live data\ntick 1 4\nstay 1000000\n");
  const pid_t pid = histtest::start(
      {histtest::vazdiag(), "--ecu", "m154", "--history", db, "--log", csv, "--clock", "real", "--script", script});
  // Live data in real time: a pass every 100 ms or so; kill after a few dozen.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (csvRows(csv) < 25 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_EQ(kill(pid, SIGKILL), 0);
  ASSERT_EQ(histtest::finish(pid), -SIGKILL);
  // Passes are committed in batches at most a second apart: the file holds every row but
  // those of the last second, and at most the one pass whose row the kill cut off.
  const long shown = csvRows(csv);
  ASSERT_GE(shown, 25);
  const long lastSecond = csvRowsInLastSecond(csv);

  history::Db h(db, false);
  auto check = h.prepare("PRAGMA integrity_check");
  ASSERT_TRUE(check.step());
  EXPECT_EQ(check.text(0), "ok");
  const auto passes = scalar(h, "SELECT COUNT(*) FROM passes");
  EXPECT_GE(passes, shown - lastSecond - 1);
  EXPECT_LE(passes, shown + 1);
  EXPECT_EQ(scalar(h, "SELECT COUNT(*) FROM pass_values"), 2 * passes);
  EXPECT_EQ(scalar(h, "SELECT ended_normally FROM sessions"), 0);
}

TEST(History, TwoProcessesRecordAtOnce) {
  TempDir dir("vazdiag_history_two");
  const std::string db = dir / "h.sqlite";
  const std::string script = writeScript(dir, "choose Live data\ntick 1 4 11\nstay 150\nback\nback\n");
  std::vector<pid_t> pids;
  for (int i = 0; i < 2; ++i)
    pids.push_back(
        histtest::start({histtest::vazdiag(), "--ecu", "m154", "--history", db, "--record", "--script", script},
                        dir / ("out" + std::to_string(i))));
  for (std::size_t i = 0; i < pids.size(); ++i)
    EXPECT_EQ(histtest::finish(pids[i]), 0) << histtest::readFile(dir.path / ("out" + std::to_string(i)));
  history::Db h = history::openHistory(db);
  EXPECT_EQ(scalar(h, "SELECT COUNT(*) FROM sessions WHERE ended_normally = 1"), 2);
  EXPECT_EQ(scalar(h, "SELECT COUNT(*) FROM passes GROUP BY session_id HAVING COUNT(*) <> 150"), -1);
  EXPECT_EQ(scalar(h, "SELECT COUNT(*) FROM passes"), 300);
}

TEST(History, FirstVersionFileIsMigrated) {
  TempDir dir("vazdiag_history_v1");
  const std::string db = dir / "h.sqlite";
  {
    // A file as the first version wrote it: text values only, no language.
    history::Db old(db, true);
    history::migrate(old, 1);
    old.exec(R"(
INSERT INTO sessions(id, started_at, ended_at, ended_normally, ecu, ecu_type, car) VALUES(1, '2024-05-01 10:00:00', '2024-05-01 10:05:00', 1, 'm154', 1, 'm154');
INSERT INTO identification VALUES(1, 1, 'Vehicle identification number', 'XTA21099043512345');
INSERT INTO items VALUES(1, 1, 'Battery voltage', 'V'), (2, 1, 'Fuel pump relay', '');
INSERT INTO passes VALUES(1, 1, 1000), (2, 1, 1500);
INSERT INTO pass_values VALUES(1, 1, '14.2'), (1, 2, 'ON'), (2, 1, '13.9'), (2, 2, 'OFF');
)");
    ASSERT_EQ(old.userVersion(), 1);
  }
  history::Db h = history::openHistory(db);
  EXPECT_EQ(h.userVersion(), history::kSchemaVersion);
  EXPECT_EQ(scalar(h, "SELECT COUNT(*) FROM pass_values WHERE number IS NOT NULL"), 2);
  // A session recorded before sessions had a UUID gets one (a version 4 UUID).
  EXPECT_EQ(scalar(h,
                   "SELECT COUNT(*) FROM sessions WHERE uuid LIKE '________-____-4___-____-____________' AND "
                   "substr(uuid, 20, 1) IN ('8', '9', 'a', 'b') AND station = ''"),
            1);
  auto sessions = history::listSessions(h, "XTA2109");
  ASSERT_EQ(sessions.size(), 1u);
  EXPECT_EQ(sessions[0].language, "en");
  auto record = history::loadSession(h, 1);
  ASSERT_TRUE(record);
  ASSERT_EQ(record->series.size(), 2u);
  EXPECT_EQ(record->series[0].chart.points, (std::vector<std::pair<double, double>>{{1.0, 14.2}, {1.5, 13.9}}));
  EXPECT_EQ(record->series[1].texts, (std::vector<std::string>{"ON", "OFF"}));
}

// One rule for the code column: what the screen shows as code and text (the full screen
// splits each line of the list by workbench::split_code), what the history stores and
// what the report prints are the same pairs, for every kind of code and both languages.
// A session with --ecu auto is recorded, and reported, under the unit found.
TEST(History, TheCodeColumnIsTheSameOnScreenInTheHistoryAndInTheReport) {
  using Pairs = std::vector<std::pair<std::string, std::string>>;
  const struct {
    const char *what;
    std::vector<std::string> args;
    const char *script;
    Pairs codes;
    const char *ecu;     // as the history records it
    const char *header;  // the report's unit and car
  } rows[] = {
      {"current faults, a known and an unknown code",
       {"--ecu", "m154", "--car-option", "dtc=0102,1602", "--car-option", "faults=01 00 04"},
       "choose 2\nleave\nchoose 3\nleave\nback\n",
       {{"", "Coolant temperature sensor fault"},
        {"", "Canister purge valve circuit fault"},
        {"P0102", "Mass air flow sensor circuit low input"},
        {"P1602", "unknown code"}},
       "m154",
       "Control unit: Bosch M1.5.4 · Car: simulated (Bosch M1.5.4)"},
      {"the same in Russian",
       {"--lang", "ru", "--ecu", "m154", "--car-option", "dtc=1602", "--car-option", "faults=01 00 00"},
       "choose 2\nleave\nchoose 3\nleave\nback\n",
       {{"", "Неисправность датчика температуры охлаждающей жидкости"}, {"P1602", "неизвестный код"}},
       "m154",
       "Блок управления: Bosch M1.5.4 · Автомобиль: симуляция (Bosch M1.5.4)"},
      {"GM codes",
       {"--ecu", "gm-efi", "--car-option", "dtc=14"},
       "choose 1\nleave\nback\n",
       {{"14", "Coolant temperature sensor high (temperature high)"}},
       "gm-efi",
       "Control unit: GM EFI · Car: simulated (GM EFI)"},
      {"GM codes in Russian",
       {"--lang", "ru", "--ecu", "gm-efi", "--car-option", "dtc=14"},
       "choose 1\nleave\nback\n",
       {{"14", "Высокий уровень сигнала датчика температуры охлаждающей жидкости (высокая температура)"}},
       "gm-efi",
       "Блок управления: GM EFI · Автомобиль: симуляция (GM EFI)"},
      {"the detected unit",
       {"--ecu", "auto", "--car", "m797-e3", "--car-option", "dtc=0102"},
       "choose 2\nleave\nback\n",
       {{"P0102", "Mass air flow sensor circuit low input"}},
       "m797-e3",
       "Control unit: Bosch M7.9.7 E3 · Car: simulated (Bosch M7.9.7 E3)"},
  };
  for (const auto &row : rows) {
    TempDir dir("vazdiag_history_codes");
    const std::string db = dir / "h.sqlite";
    std::vector<std::string> argv = {histtest::vazdiag(), "--history", db, "--script", writeScript(dir, row.script)};
    argv.insert(argv.end(), row.args.begin(), row.args.end());
    ASSERT_EQ(histtest::run(argv, dir / "transcript"), 0) << row.what;

    // The screen: each listed code text, split by the rule.
    Pairs screen;
    std::istringstream transcript(histtest::readFile(dir.path / "transcript"));
    bool inList = false;
    for (std::string line; std::getline(transcript, line);) {
      if (line == "[trouble codes]")
        inList = true;
      else if (inList && line.rfind("  ", 0) == 0) {
        const auto cols = workbench::split_code(std::string_view(line).substr(2));
        screen.emplace_back(cols.code, cols.text);
      } else
        inList = false;
    }
    EXPECT_EQ(screen, row.codes) << row.what;

    history::Db h = history::openHistory(db);
    Pairs stored;
    for (auto q = h.prepare("SELECT code, text FROM codes ORDER BY list_id, seq"); q.step();)
      stored.emplace_back(q.text(0), q.text(1));
    EXPECT_EQ(stored, row.codes) << row.what;
    auto ecu = h.prepare("SELECT ecu FROM sessions");
    ASSERT_TRUE(ecu.step());
    EXPECT_EQ(ecu.text(0), row.ecu) << row.what;

    ASSERT_EQ(histtest::run({histtest::vazdiag(), "report", "1", "--history", db, "-o", dir / "r.html"}), 0);
    const std::string html = histtest::readFile(dir.path / "r.html");
    Pairs reported;
    const std::regex cell(R"(<tr><td class="code">([^<]*)</td><td>([^<]*)</td>)");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), cell); it != std::sregex_iterator(); ++it)
      reported.emplace_back((*it)[1], (*it)[2]);
    EXPECT_EQ(reported, row.codes) << row.what;
    EXPECT_NE(html.find(row.header), std::string::npos) << row.what;
  }
}

}  // namespace

namespace {

// A history file of one session whose rows a hostile unit or a hand-edited file could hold.
void hostileRows(const std::string &file) {
  history::Db db(file, true);
  history::migrate(db);
  db.exec(R"(
INSERT INTO sessions(id, started_at, ended_at, ended_normally, ecu, ecu_type, car) VALUES(1, '2024-05-01 10:00:00', '2024-05-01 10:05:00', 1, 'm154', 1, 'm154');
INSERT INTO identification VALUES(1, 1, 'Vehicle identification number', 'XTA' || char(27) || '[2J' || char(27) || ']0;owned' || char(7));
INSERT INTO items VALUES(1, 1, 'Engine speed', 'rpm'), (2, 1, 'Coolant temperature', '°C');
INSERT INTO passes VALUES(1, 1, 1000), (2, 1, 9e999), (3, 1, 1e23), (4, 1, 1e23 + 1), (5, 1, -9e999);
INSERT INTO pass_values VALUES(1, 1, '800', 800), (1, 2, 'x', 9e999), (2, 1, '1', 1), (3, 1, '2', -9e999),
  (3, 2, 'y', 1.7e308), (4, 1, '3', 3), (4, 2, 'z', 90), (5, 2, 'w', 91);
)");
}

// A rollback-journal file (as vazdiag never writes one), to see that reading leaves it so.
void journalFile(const std::string &file) {
  history::Db db(file, true);
  history::migrate(db);
  db.exec(
      "INSERT INTO sessions(id, started_at, ended_at, ended_normally, ecu, ecu_type) VALUES(1, 'a', 'b', 1, 'm154', "
      "1)");
}

struct Outcome {
  int status;
  std::string out;
};

Outcome vazdiagIn(const TempDir &dir, std::vector<std::string> args) {
  args.insert(args.begin(), histtest::vazdiag());
  const std::string out = dir / "out.txt";
  const int status = histtest::run(args, out);
  return {status, histtest::readFile(out)};
}

TEST(History, HostileFilesAndInputsAreRefusedOrShownSafely) {
  TempDir dir("vazdiag_history_hostile");
  const std::string db = dir / "h.sqlite", page = dir / "page.html";
  const std::string script = writeScript(dir, "choose Identification\nstay 1\nback\n");
  struct Case {
    const char *what;
    std::function<void()> prepare;
    std::vector<std::string> args;
    int status;
    const char *said;                                // in the output
    std::function<void(const std::string &)> check;  // given the output
  };
  const Case cases[] = {
      {"non-finite, huge and stuck values: the report ends and draws only numbers",
       [&] { hostileRows(db); },
       {"report", "1", "-o", page, "--history", db},
       0,
       "page.html",
       [&](const std::string &) {
         const std::string html = histtest::readFile(page);
         for (const char *bad : {"nan", "inf", "\x1B"}) EXPECT_EQ(html.find(bad), std::string::npos) << bad;
         EXPECT_NE(html.find("XTA\\x1B[2J\\x1B]0;owned\\x07"), std::string::npos);
         EXPECT_NE(html.find("beyond ±1e300): 3<"), std::string::npos) << html;
         EXPECT_NE(html.find(">5 passes<"), std::string::npos);
       }},
      {"escape bytes of a stored identification stay off the terminal",
       [&] { hostileRows(db); },
       {"history", "--history", db},
       0,
       "XTA\\x1B[2J\\x1B]0;owned\\x07",
       [](const std::string &out) { EXPECT_EQ(out.find('\x1B'), std::string::npos); }},
      {"the history itself as the report's output",
       [&] { hostileRows(db); },
       {"report", "1", "-o", db, "--history", db},
       2,
       "is the history file itself",
       [&](const std::string &) {
         history::Db h = history::openHistory(db);
         EXPECT_EQ(history::listSessions(h).size(), 1u);
       }},
      {"a report that fails leaves the old output whole",
       [&] {
         hostileRows(db);
         std::ofstream(page) << "earlier report";
       },
       {"report", "9", "-o", page, "--history", db},
       1,
       "no session 9",
       [&](const std::string &) { EXPECT_EQ(histtest::readFile(page), "earlier report"); }},
      {"no history yet: listed as such",
       [] {},
       {"history", "--history", dir / "none.sqlite"},
       0,
       "no sessions recorded yet",
       nullptr},
      {"no history yet: a report says so",
       [] {},
       {"report", "1", "--history", dir / "none.sqlite"},
       1,
       "no sessions recorded yet",
       nullptr},
      {"an empty history name", [] {}, {"history", "--history", ""}, 2, "--history needs a value", nullptr},
      {"an empty history name for a session",
       [] {},
       {"--history", "", "--script", script},
       2,
       "--history needs a file name",
       nullptr},
      {"a damaged file is refused by the reader",
       [&] { std::ofstream(db) << std::string(8192, 'x'); },
       {"history", "--history", db},
       1,
       "damaged",
       nullptr},
      {"a damaged file is moved aside by the next session",
       [&] { std::ofstream(db) << std::string(8192, 'x'); },
       {"--history", db, "--script", script},
       0,
       "was damaged",
       [&](const std::string &out) {
         const auto at = out.find("it is kept as ");
         ASSERT_NE(at, std::string::npos) << out;
         const std::string aside = out.substr(at + 14, out.find(" and a new", at) - at - 14);
         EXPECT_EQ(histtest::readFile(aside), std::string(8192, 'x')) << aside;
         history::Db h = history::openHistory(db);
         EXPECT_EQ(history::listSessions(h).size(), 1u);
       }},
      {"reading leaves the file's journal as it was and makes no log",
       [&] { journalFile(db); },
       {"history", "--history", db},
       0,
       "m154",
       [&](const std::string &) {
         const std::string head = histtest::readFile(db).substr(18, 2);
         EXPECT_EQ(head, std::string("\x01\x01", 2));  // rollback journal, not WAL (2)
         EXPECT_FALSE(std::filesystem::exists(db + "-wal"));
       }},
      {"a session that never reached the unit ends as such",
       [] {},
       {"--car", "none", "--history", db, "--script", script},
       3,
       "communication with the control unit failed",
       [&](const std::string &) {
         Outcome listed = vazdiagIn(dir, {"history", "--history", db});
         EXPECT_NE(listed.out.find("no communication"), std::string::npos) << listed.out;
         ASSERT_EQ(vazdiagIn(dir, {"report", "1", "-o", page, "--history", db}).status, 0);
         EXPECT_NE(histtest::readFile(page).find("ended on a communication failure"), std::string::npos);
       }},
      {"a trace appended to an earlier one is set apart",
       [&] { std::ofstream(dir / "t.trace") << "earlier\n"; },
       {"--no-history", "--trace", dir / "t.trace", "--script", script},
       0,
       "",
       [&](const std::string &) {
         EXPECT_EQ(histtest::readFile(dir / "t.trace").rfind("earlier\n\n==== new session, ", 0), 0u);
       }},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    for (const char *part : {"", "-wal", "-shm"}) std::filesystem::remove(db + part);
    std::filesystem::remove(page);
    c.prepare();
    const Outcome r = vazdiagIn(dir, c.args);
    EXPECT_EQ(r.status, c.status) << r.out;
    EXPECT_NE(r.out.find(c.said), std::string::npos) << r.out;
    if (c.check) c.check(r.out);
  }
}

}  // namespace
