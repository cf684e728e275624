// vazdiag: the host program. Loads the plug-in and the workbench libraries from
// its own folder or, installed, from its prefix, builds the host context record and runs one session.
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "history_session.h"
#include "input_checks.h"
#include "options.h"
#include "session_language.h"
#include "trace_decoder.h"
#include "vaz_version.h"
#include "web_commands.h"
#include "workbench.h"
#include "workbench/printable.h"

int main(int argc, char **argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  auto options = vazdiag::parse_options(args, error);
  if (!options) {
    std::cerr << "vazdiag: " << error << "\n"
              << "Try 'vazdiag --help'.\n";
    return 2;
  }
  if (options->help) {
    std::cout << vazdiag::usage();
    return 0;
  }
  if (options->version) {
    std::cout << "vazdiag " VAZ_VERSION "\n";
    try {
      std::cout << "libVAZ_OLD.so " << vazdiag::pluginVersion(vazdiag::librariesDir()) << "\n";
    } catch (const std::exception &e) {
      std::cerr << "vazdiag: " << workbench::printable_lines(e.what()) << "\n";
      return 1;
    }
    return 0;
  }
  if (!options->history.command.empty()) return vazdiag::run_history_command(options->history);
  if (options->listPorts) {
    try {
      vazdiag::Workbench bench(vazdiag::librariesDir());
      std::cout << bench.listPorts();
    } catch (const std::exception &e) {
      std::cerr << "vazdiag: " << workbench::printable_lines(e.what()) << "\n";
      return 1;
    }
    return 0;
  }
  if (options->adapterInfo) {
    try {
      vazdiag::Workbench bench(vazdiag::executableDir());
      const std::string info = bench.adapterInfo(options->setup.port, options->setup.portOptions);
      std::cout << "port: " << workbench::printable(options->setup.port) << "\n" << info;
      return info.rfind("error: ", 0) == 0 || info.rfind("no ELM327", 0) == 0 ? 3 : 0;
    } catch (const std::exception &e) {
      std::cerr << "vazdiag: " << workbench::printable_lines(e.what()) << "\n";
      return 1;
    }
  }
  if (!options->decodeTraceFile.empty()) {
    const std::string &file = options->decodeTraceFile;
    if (const std::string e = vazdiag::check_input_file("the trace", file); !e.empty()) {
      std::cerr << "vazdiag: " << e << "\n";
      return 2;
    }
    std::ifstream scan(file);
    if (!vazdiag::looksLikeTrace(scan)) {
      std::cerr << "vazdiag: --decode-trace " << workbench::printable(file, 200)
                << " is not a wire trace: no line such as '    12.345 T> 81 10 F1 81 03' (see --trace)\n";
      return 2;
    }
    std::ifstream in(file);
    vazdiag::decodeTrace(in, std::cout);
    return 0;
  }
  vazdiag::SessionSetup setup = options->setup;
  // ---- web front end and history pages: without --lang the first browser's preference
  // chooses the language, not this machine's locale.
  if (options->webHistory) return vazdiag::run_web_history(options->webHistoryAddress, options->history);
  if (setup.web)
    setup.webReady = [open = options->webOpen](const std::string &url, const std::string &network) {
      vazdiag::announce_web(url, network, open);
    };
  // ---- end of the web block
  if (setup.language.empty() && !setup.web) setup.language = vazdiag::language_from_environment();
  if (!options->scriptFile.empty()) {
    if (const std::string e = vazdiag::read_input_file("the script", options->scriptFile, setup.script); !e.empty()) {
      std::cerr << "vazdiag: " << e << "\n";
      return 2;
    }
    // The libraries take the script as a C string: a NUL would end it unseen.
    if (const auto nul = setup.script.find('\0'); nul != std::string::npos) {
      const auto line = 1 + std::count(setup.script.begin(), setup.script.begin() + static_cast<long>(nul), '\n');
      std::cerr << "vazdiag: script line " << line << ": a NUL byte; a script is text\n";
      return 2;
    }
  }
  int status = 0;
  for (const std::string &e : {vazdiag::check_output_file("the log", setup.logFile),
                               vazdiag::check_functions(setup.functions, setup.ecuType)}) {
    if (e.empty()) continue;
    std::cerr << "vazdiag: " << e << "\n";
    return 2;
  }
  // The transcript goes out screen by screen; nothing of a long session is kept.
  if (!setup.interactive) setup.transcriptFd = STDOUT_FILENO;
  try {
    vazdiag::Workbench bench(vazdiag::librariesDir());
    std::unique_ptr<vazdiag::SessionHistory> history;
    // A history that cannot be opened costs the record, never the diagnosis.
    if (!options->history.off) try {
        history = std::make_unique<vazdiag::SessionHistory>(options->history, setup, bench);
      } catch (const std::exception &e) {
        std::cerr << "vazdiag: history: " << e.what() << "; this session is not recorded\n";
      }
    vazdiag::SessionResult r = bench.run(setup);
    if (history) history->finish(r.commFailure);
    // A session that could not talk to the car, or a script that did not
    // match the screens, did not do what was asked: say so in the status.
    if (r.interfaceFailure) {
      status = 3;
      std::cerr << "vazdiag: the interface refused to open the line to the control unit: check the interface,\n"
                   "vazdiag: its power and its cable to the diagnostic connector\n";
    } else if (r.commFailure) {
      status = 3;
      std::cerr << "vazdiag: communication with the control unit failed: check that the ignition is on,\n"
                   "vazdiag: the cable and its connector are plugged in, and --ecu names this car's unit\n";
    } else if (r.scriptMisfit) {
      status = 4;
      std::cerr << "vazdiag: a script step did not fit its screen (see the '! script line' notes)\n";
    }
    // What the cable or port told us, after the screens (the terminal is ours again).
    std::istringstream notes(r.portNotes);
    for (std::string line; std::getline(notes, line);)
      std::cerr << "vazdiag: port " << setup.port << ": " << line << "\n";
    for (const std::string &e : r.writeErrors) std::cerr << "vazdiag: " << e << "\n";
    // The session ran; what it was asked to keep of it is incomplete.
    if (!r.writeErrors.empty()) return 5;
  } catch (const vazdiag::SetupError &e) {
    std::cerr << "vazdiag: " << workbench::printable_lines(e.what()) << "\n";
    return 2;
  } catch (const std::exception &e) {
    std::cerr << "vazdiag: " << workbench::printable_lines(e.what()) << "\n";
    return 1;
  }
  return status;
}
