// A vazdiag built without libpq: it records locally and says so when asked for a server.
#include "server_options.h"

#include <iostream>

namespace vazdiag {
namespace {
constexpr const char *kWithout = "this vazdiag was built without the history server (no libpq)";
}

std::string server_address_problem(const std::string &) { return kWithout; }

int run_server_command(const HistoryOptions &) {
  std::cerr << "vazdiag: " << kWithout << "\n";
  return 2;
}

std::unique_ptr<SessionCopy> start_session_copy(const std::string &, const std::string &, std::int64_t) {
  return nullptr;
}

}  // namespace vazdiag
