// Announcing a web session, and the history's pages.
#include "web_commands.h"

#include "guarded_server.h"
#include "history_reader.h"
#include "html_report.h"
#include "svg_chart.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include <iostream>
#include <sstream>

extern char **environ;

namespace vazdiag {
namespace {

// The history's pages hold no script at all; their style is inline (the report is one
// self-contained file), which this policy allows and nothing else.
constexpr const char *kHistoryPolicy =
    "default-src 'none'; style-src 'unsafe-inline'; img-src data:; base-uri 'none'; form-action 'none'; "
    "frame-ancestors 'none'";

constexpr const char *kListStyle =
    "body{font:16px/1.4 system-ui,sans-serif;margin:0;padding:.75rem;max-width:60rem;margin:auto}"
    "table{width:100%;border-collapse:collapse}th,td{text-align:left;padding:.4rem;border-bottom:1px solid #ccc;"
    "overflow-wrap:anywhere}a{display:inline-block;min-height:2rem}";

std::string sessionList(history::Db &db) {
  using history::escapeXml;
  std::ostringstream h;
  h << "<!doctype html><html lang=\"en\"><head><meta charset=\"utf-8\">"
       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"><title>vazdiag history</title><style>"
    << kListStyle << "</style></head><body><h1>Sessions</h1>";
  const auto sessions = history::listSessions(db);
  if (sessions.empty())
    h << "<p>No sessions recorded.</p>";
  else {
    h << "<table><thead><tr><th>#</th><th>Started</th><th>ECU</th><th>Identification</th><th>Codes</th>"
         "<th>End</th></tr></thead><tbody>";
    for (const auto &s : sessions)
      h << "<tr><td><a href=\"/report/" << s.id << "\">" << s.id << "</a></td><td>" << escapeXml(s.startedAt)
        << "</td><td>" << escapeXml(s.ecu) << "</td><td>" << escapeXml(s.firstField.empty() ? "-" : s.firstField)
        << "</td><td>" << s.codes << "</td><td>" << (s.endedNormally ? "normal" : "cut short") << "</td></tr>";
    h << "</tbody></table>";
  }
  h << "</body></html>";
  return h.str();
}

}  // namespace

void announce_web(const std::string &url, const std::string &networkUrls, bool open) {
  std::cout << "Open in a browser: " << url << std::endl;
  if (!networkUrls.empty()) {
    std::cerr << "vazdiag: warning: this session can be reached from the network, at\n";
    std::istringstream lines(networkUrls);
    for (std::string l; std::getline(lines, l);) std::cerr << "vazdiag:   " << l << "\n";
    std::cerr << "vazdiag: whoever has the address with its token can drive this car's actuators\n";
  }
  if (!open) return;
  // No shell: the address goes to the opener as one argument.
  std::string arg = url;
  char *argv[] = {const_cast<char *>("xdg-open"), arg.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) != 0)
    std::cerr << "vazdiag: cannot start the desktop's browser (xdg-open); open the address yourself\n";
  else
    std::signal(SIGCHLD, SIG_IGN);  // the opener is not waited for
}

int run_web_history(const std::string &address, const HistoryOptions &history) {
  const std::string path = history_file(history);
  try {
    history::openHistory(path);  // exists and is readable before anything is served
  } catch (const history::DbError &e) {
    std::cerr << "vazdiag: history " << path << ": " << e.what() << "\n";
    return 1;
  }
  std::string error;
  auto where = webserve::parseWebAddress(address, error);
  if (!where) {
    std::cerr << "vazdiag: web-history: " << error << "\n";
    return 2;
  }
  webserve::GuardedServer server;
  auto page = [](httplib::Response &res, const std::string &html) {
    res.set_header("Content-Security-Policy", kHistoryPolicy);
    res.set_content(html, "text/html; charset=utf-8");
  };
  // Each request reads the file afresh: a session recorded meanwhile shows up.
  server.http().Get("/", [&](const httplib::Request &, httplib::Response &res) {
    try {
      history::Db db = history::openHistory(path);
      page(res, sessionList(db));
    } catch (const std::exception &e) {
      res.status = 500;
      res.set_content("cannot read the history\n", "text/plain");
    }
  });
  server.http().Get(R"(/report/(\d{1,12}))", [&](const httplib::Request &req, httplib::Response &res) {
    try {
      history::Db db = history::openHistory(path);
      auto s = history::loadSession(db, std::stoll(req.matches[1].str()));
      if (!s) {
        res.status = 404;
        res.set_content("no such session\n", "text/plain");
        return;
      }
      page(res, history::htmlReport(*s));
    } catch (const std::exception &e) {
      res.status = 500;
      res.set_content("cannot read the history\n", "text/plain");
    }
  });
  // Serves until Ctrl-C or a terminating signal, taken here rather than by the server's
  // threads (which inherit the mask).
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGINT);
  sigaddset(&stop, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop, nullptr);
  if (!server.start(*where, error)) {
    std::cerr << "vazdiag: web-history: " << error << "\n";
    return 2;
  }
  announce_web(
      server.url(),
      [&] {
        std::string s;
        for (const auto &u : server.networkUrls()) s += u + "\n";
        return s;
      }(),
      false);
  int sig = 0;
  sigwait(&stop, &sig);
  server.stop();
  return 0;
}

}  // namespace vazdiag
