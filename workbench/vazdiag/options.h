// Command line of vazdiag: what the user asked for, or a readable error.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "history_options.h"
#include "workbench.h"

namespace vazdiag {

struct Options {
  SessionSetup setup;
  std::string scriptFile;       // empty: interactive
  std::string decodeTraceFile;  // set: only annotate this wire trace, no session
  bool help = false;
  bool version = false;    // only print the versions of vazdiag and the plug-in
  bool listPorts = false;  // only list the serial devices present
  // ELM327 adapters: --adapter goes into the port options; --adapter-info only probes.
  bool adapterInfo = false;
  HistoryOptions history;  // where the session is kept; a history command instead of a session
  // Web: --open starts the desktop's browser on the page; web-history serves the history.
  bool webOpen = false;
  bool webHistory = false;
  std::string webHistoryAddress;
};

// Parses argv; on a bad option returns nothing and sets error.
std::optional<Options> parse_options(const std::vector<std::string> &args, std::string &error);

// ECU type number (1..11) for a name or number, 0 when unknown.
int ecu_type_from_name(const std::string &name);

// Simulated car that stands for an ECU type by default.
std::string default_car_for(int ecuType);

// The mechanic's options; usage() is the whole of --help: these, the ECU names, the
// integrator's options and the exit statuses.
extern const char *const kUsage;
std::string usage();

// One line per name --ecu takes, with the ECU it stands for.
std::string ecu_names_text();

}  // namespace vazdiag
