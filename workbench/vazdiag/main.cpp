// vazdiag: the host program. Loads the plug-in and the workbench libraries from
// its own directory, builds the host context record and runs one session.
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "history_session.h"
#include "options.h"
#include "session_language.h"
#include "trace_decoder.h"
#include "workbench.h"

int main(int argc, char **argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  auto options = vazdiag::parse_options(args, error);
  if (!options) {
    std::cerr << "vazdiag: " << error << "\n" << "Try 'vazdiag --help'.\n";
    return 2;
  }
  if (options->help) {
    std::cout << vazdiag::kUsage;
    return 0;
  }
  if (!options->history.command.empty()) return vazdiag::run_history_command(options->history);
  if (options->listPorts) {
    try {
      vazdiag::Workbench bench(vazdiag::executableDir());
      std::cout << bench.listPorts();
    } catch (const std::exception &e) {
      std::cerr << "vazdiag: " << e.what() << "\n";
      return 1;
    }
    return 0;
  }
  if (!options->decodeTraceFile.empty()) {
    std::ifstream in(options->decodeTraceFile);
    if (!in) {
      std::cerr << "vazdiag: cannot read the trace " << options->decodeTraceFile << "\n";
      return 2;
    }
    vazdiag::decodeTrace(in, std::cout);
    return 0;
  }
  vazdiag::SessionSetup setup = options->setup;
  if (setup.language.empty()) setup.language = vazdiag::language_from_environment();
  if (!options->scriptFile.empty()) {
    std::ifstream in(options->scriptFile);
    if (!in) {
      std::cerr << "vazdiag: cannot read the script " << options->scriptFile << "\n";
      return 2;
    }
    std::ostringstream text;
    text << in.rdbuf();
    setup.script = text.str();
  }
  int status = 0;
  try {
    vazdiag::Workbench bench(vazdiag::executableDir());
    std::unique_ptr<vazdiag::SessionHistory> history;
    // A history that cannot be opened costs the record, never the diagnosis.
    if (!options->history.off) try {
        history = std::make_unique<vazdiag::SessionHistory>(options->history, setup, bench);
      } catch (const std::exception &e) {
        std::cerr << "vazdiag: history: " << e.what() << "; this session is not recorded\n";
      }
    vazdiag::SessionResult r = bench.run(setup);
    if (history) history->finish();
    // A session that could not talk to the car, or a script that did not
    // match the screens, did not do what was asked: say so in the status.
    if (r.commFailure) {
      status = 3;
      std::cerr << "vazdiag: communication with the control unit failed: check that the ignition is on,\n"
                   "vazdiag: the cable and its connector are plugged in, and --ecu names this car's unit\n";
    } else if (r.scriptMisfit) {
      status = 4;
      std::cerr << "vazdiag: a script step did not fit its screen (see the '! script line' notes)\n";
    }
    if (!setup.interactive) std::cout << r.transcript;
    // What the cable or port told us, after the screens (the terminal is ours again).
    std::istringstream notes(r.portNotes);
    for (std::string line; std::getline(notes, line);) std::cerr << "vazdiag: port " << setup.port << ": " << line << "\n";
  } catch (const vazdiag::SetupError &e) {
    std::cerr << "vazdiag: " << e.what() << "\n";
    return 2;
  } catch (const std::exception &e) {
    std::cerr << "vazdiag: " << e.what() << "\n";
    return 1;
  }
  return status;
}
