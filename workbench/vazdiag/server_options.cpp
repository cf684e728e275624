// The history server's options and where its address comes from.
#include "server_options.h"

#include "workbench.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

namespace vazdiag {
namespace {

std::string trim(const std::string &s) {
  const auto b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

// HistoryServer= in the configuration file the hosts share; a ';' begins a comment.
std::string configured_server() {
  const std::string file = executableDir() + "assets/StdCfg.ini";
  struct stat st {};
  if (stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > (1 << 20)) return {};
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    line = trim(line);
    if (line.rfind("HistoryServer=", 0) != 0) continue;
    const std::string v = line.substr(14);
    return trim(v.substr(0, v.find(';')));
  }
  return {};
}

}  // namespace

bool parse_server_argument(const std::vector<std::string> &args, std::size_t &i, HistoryOptions &o,
                           std::string &error) {
  const std::string &a = args[i];
  if (i == 1 && o.command == "history" && a == "sync") {
    o.command = "sync";
    return true;
  }
  if (a == "--server" && o.command != "sync") return o.onServer = true;
  if (a == "--dry-run" && o.command == "sync") return o.dryRun = true;
  const bool history = o.command == "history";
  const bool sync = o.command == "sync";
  if (a != "--history-server" && !(history && (a == "--vin" || a == "--since")) && !(sync && a == "--station"))
    return false;
  if (i + 1 >= args.size()) {
    error = "option " + a + " needs a value";
    return true;
  }
  const std::string &v = args[++i];
  if (a == "--history-server") {
    o.server = v;
  } else if (a == "--station") {
    o.station = v;
  } else if (a == "--vin") {
    o.vin = v;
  } else {
    static const std::regex date(R"(\d{4}-\d{2}-\d{2}( \d{2}:\d{2}(:\d{2})?)?)");
    if (!std::regex_match(v, date)) error = "--since needs a date such as 2026-03-01, got '" + v + "'";
    o.since = v;
  }
  return true;
}

std::string check_server_arguments(const HistoryOptions &o) {
  if ((!o.vin.empty() || !o.since.empty()) && !o.onServer) return "--vin and --since list the server: add --server";
  return {};
}

std::string history_server(const HistoryOptions &o) {
  if (!o.server.empty()) return o.server;
  if (const char *env = std::getenv("VAZDIAG_HISTORY_SERVER"); env && *env) return env;
  return configured_server();
}

std::string station_name(const HistoryOptions &o) {
  if (!o.station.empty()) return o.station;
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) != 0 || host[0] == '\0') return "station";
  return host;
}

}  // namespace vazdiag
