// vazdiag history and vazdiag report: reading the session history back.
#include "history_options.h"

#include "history_paths.h"
#include "history_reader.h"
#include "html_report.h"
#include "input_checks.h"
#include "server_options.h"
#include "whole_file.h"
#include "workbench/printable.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace vazdiag {

std::optional<HistoryOptions> parse_history_command(const std::vector<std::string> &args, std::string &error) {
  HistoryOptions o;
  o.command = args.at(0);
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string &a = args[i];
    if (parse_server_argument(args, i, o, error)) {
      if (!error.empty()) return std::nullopt;
      continue;
    }
    const bool withValue = a == "--history" || (o.command == "history" && a == "--car") ||
                           (o.command == "report" && (a == "-o" || a == "--output"));
    if (withValue) {
      if (i + 1 >= args.size()) {
        error = "option " + a + " needs a value";
        return std::nullopt;
      }
      const std::string &v = args[++i];
      if (v.empty()) {
        error = "option " + a + " needs a value, got ''";
        return std::nullopt;
      }
      if (a == "--history")
        o.file = v;
      else if (a == "--car")
        o.carFilter = v;
      else
        o.output = v;
    } else if (o.command == "report" && o.session == 0 && !a.empty() && a[0] != '-') {
      char *end = nullptr;
      const long long n = std::strtoll(a.c_str(), &end, 10);
      if (*end != '\0' || n <= 0) {
        error = "report needs a session number, got '" + workbench::printable(a) + "'";
        return std::nullopt;
      }
      o.session = n;
    } else {
      error = "unknown argument '" + workbench::printable(a) + "' for " + o.command;
      return std::nullopt;
    }
  }
  if (o.command == "report" && o.session == 0) {
    error = "report needs a session number (see 'vazdiag history')";
    return std::nullopt;
  }
  error = check_server_arguments(o);
  if (!error.empty()) return std::nullopt;
  return o;
}

std::string history_file(const HistoryOptions &o) { return o.file.empty() ? history::defaultHistoryPath() : o.file; }

namespace {

// A stored text as the listing shows it: what a hostile unit or file put there cannot
// reach the terminal as control bytes.
std::string shown(const std::string &text) { return workbench::printable(text, 200); }

const char *endOf(const history::SessionSummary &s) {
  if (s.commFailure) return "no communication";
  return s.endedNormally ? "normal" : "cut short";
}

int listHistory(history::Db &db, const HistoryOptions &o) {
  const auto sessions = history::listSessions(db, o.carFilter);
  if (sessions.empty()) {
    std::cout << (o.carFilter.empty() ? "no sessions recorded\n"
                                      : "no session of a car matching '" + shown(o.carFilter) + "'\n");
    return 0;
  }
  std::printf("%5s  %-19s  %-8s  %-24s  %5s  %s\n", "#", "started", "ECU", "identification", "codes", "end");
  for (const auto &s : sessions)
    std::printf("%5lld  %-19s  %-8s  %-24s  %5d  %s\n", static_cast<long long>(s.id), shown(s.startedAt).c_str(),
                shown(s.ecu).c_str(), s.firstField.empty() ? "-" : shown(s.firstField).c_str(), s.codes, endOf(s));
  return 0;
}

int writeReport(history::Db &db, const HistoryOptions &o, const std::string &historyPath) {
  const std::string out = o.output.empty() ? "vazdiag-report-" + std::to_string(o.session) + ".html" : o.output;
  // The garage's whole history must never become one customer's page.
  for (const char *part : {"", "-wal", "-shm"})
    if (same_file(out, historyPath + part)) {
      std::cerr << "vazdiag: -o " << shown(out) << " is the history file itself; name another file\n";
      return 2;
    }
  if (const std::string e = check_output_file("the report", out); !e.empty()) {
    std::cerr << "vazdiag: " << e << "\n";
    return 2;
  }
  auto session = history::loadSession(db, o.session);
  if (!session) {
    std::cerr << "vazdiag: no session " << o.session << " in the history\n";
    return 1;
  }
  if (const std::string e = write_whole_file(out, history::htmlReport(*session)); !e.empty()) {
    std::cerr << "vazdiag: cannot write " << shown(out) << ": " << e << "\n";
    return 1;
  }
  std::cout << shown(out) << "\n";
  return 0;
}

}  // namespace

int run_history_command(const HistoryOptions &o) {
  if (o.command == "sync" || o.onServer) return run_server_command(o);
  const std::string path = history_file(o);
  try {
    history::Db db = history::openHistory(path);
    return o.command == "report" ? writeReport(db, o, path) : listHistory(db, o);
  } catch (const history::NoHistory &e) {
    // Before the first session there is nothing to list, which is no fault.
    (o.command == "report" ? std::cerr : std::cout)
        << (o.command == "report" ? "vazdiag: " : "") << workbench::printable_lines(e.what()) << "\n";
    return o.command == "report" ? 1 : 0;
  } catch (const history::DbError &e) {
    std::cerr << "vazdiag: history " << shown(path) << ": " << workbench::printable_lines(e.what()) << "\n";
    return 1;
  }
}

}  // namespace vazdiag
