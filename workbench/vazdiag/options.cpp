// Parsing of vazdiag's options.
#include "options.h"

#include <array>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <string_view>

#include "web_address.h"
#include "workbench/ecu_names.h"
#include "workbench/printable.h"

namespace vazdiag {

namespace {

using workbench::EcuName;
using workbench::kEcuNames;

// A name as a mechanic may type it, reduced to what tells the ECUs apart: letters and
// digits in lower case, without the maker ("Bosch M1.5.4" and "m154", "GM ISFI" and
// "isfi" are one name).
std::string name_key(const std::string &name) {
  std::string key;
  for (char c : name)
    if (std::isalnum(static_cast<unsigned char>(c)) != 0)
      key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const std::string_view maker : {"bosch", "gm"})
    if (key.size() > maker.size() && key.compare(0, maker.size(), maker) == 0) key.erase(0, maker.size());
  return key;
}

const EcuName *find_ecu(const std::string &name) {
  const std::string key = name_key(name);
  for (const EcuName &e : kEcuNames)
    if (!key.empty() && key == name_key(e.name)) return &e;
  return nullptr;
}

bool parse_int(const std::string &text, long lo, long hi, long &out) {
  if (text.empty()) return false;
  errno = 0;
  char *end = nullptr;
  // Decimal, or hex written with 0x: a leading 0 is no octal (--ecu 011 is 11).
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  long v = std::strtol(text.c_str(), &end, hex ? 16 : 10);
  if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
  out = v;
  return true;
}

}  // namespace

const char *const kUsage =
    "usage: vazdiag [options]\n"
    "Runs one diagnostic session of the VAZ engine plug-in with a car on a serial K-line\n"
    "or ALDL cable (--port), or with a simulated car.\n"
    "\n"
    "  --ecu NAME         the car's engine control unit (names below; default m154)\n"
    "  --port DEV         talk to a real car through a serial K-line or ALDL cable\n"
    "                     (/dev/ttyUSB0, /dev/serial/by-id/...) instead of a simulated\n"
    "                     one; real-time clock\n"
    "  --adapter KIND     what is on --port: auto (default: an ELM327 answers its ATI\n"
    "                     probe, a raw cable only echoes it), kline (a raw K-line or ALDL\n"
    "                     cable) or elm327 (USB, Bluetooth /dev/rfcomm*, or Wi-Fi with\n"
    "                     --port tcp://192.168.0.10:35000); an ELM327 serves the Bosch ECUs\n"
    "  --adapter-info     with --port: what the ELM327 there is and can do; runs no session\n"
    "  --list-ports       list the serial devices present with their chips and whether\n"
    "                     you may open them; runs no session\n"
    "  --wakeup MODE      fast init on the port: break, byte (0x00 at 360 baud) or auto\n"
    "                     (default: break where the port can hold one)\n"
    "  --port-option K=V  echo=on|off (off for cables that remove the echo), dtr=on|off,\n"
    "                     rts=on|off (default dtr on, rts off) (repeatable)\n"
    "  --lang ru|en       language of the screens (default: Russian when LC_ALL,\n"
    "                     LC_MESSAGES or LANG begins with ru, else English)\n"
    "  --script FILE      play the user from FILE and print the transcript of every\n"
    "                     screen; without it the session is interactive\n"
    "  --trace FILE       write every byte on the line, with time stamps, to FILE\n"
    "  --log FILE.csv     record every live-data pass as a CSV row (time stamp, then\n"
    "                     one column per shown item); the r key in live data records\n"
    "                     into $XDG_DATA_HOME/vazdiag/recordings/\n"
    "  --decode-trace FILE  print a wire trace with every KWP2000/ALDL frame annotated\n"
    "                     (service names, checksums verified); runs no session\n"
    "  --history FILE     keep the session history in FILE (default:\n"
    "                     $XDG_DATA_HOME/vazdiag/history.sqlite)\n"
    "  --no-history       keep no history of this session\n"
    "  --record           keep every live-data pass of the session in the history (else\n"
    "                     only the passes recorded with --log or the r key)\n"
    "  --history-server postgresql://USER@HOST/DB\n"
    "                     copy the session to a shared PostgreSQL history while it runs\n"
    "                     (default: $VAZDIAG_HISTORY_SERVER, else HistoryServer= in\n"
    "                     assets/StdCfg.ini); the password comes from ~/.pgpass or\n"
    "                     PGPASSFILE, never from the URL\n"
    "  --station NAME     the bay's name on the server (default: the host name)\n"
    "  --web [HOST:PORT]  serve the session to a browser instead of the terminal and print\n"
    "                     the address to open (default 127.0.0.1 and a free port; PORT 0\n"
    "                     picks one; 0.0.0.0 for a phone on the same network)\n"
    "  --open             with --web, also open the page in the desktop's browser\n"
    "  --car NAME         simulated ECU on the line (default: the chosen ECU; m154 for\n"
    "                     auto): any ECU name below, obd-iso or obd-pwm (a generic\n"
    "                     OBD-II engine), or \"none\" for a silent line\n"
    "  --car-option K=V   option of the simulated ECU (repeatable):\n"
    "                       dtc=0102,0325     stored trouble codes\n"
    "                       faults=HEX        current-fault bits (\"01 00 04\" on the M1.5.4)\n"
    "                       engine=running|idle-fixed  a warming engine, or one at steady idle\n"
    "                       id-key=XY         the two-character identification key (Bosch)\n"
    "                       header=long|short|short-id  KWP2000 header form of the answers\n"
    "                       guard=on|off      off: the M7 guard reading (battery voltage) is 0\n"
    "                       line=ok|refused   refused: the interface cannot open the line\n"
    "                       refuse=30:22,11:22  a Bosch ECU answers 7F to those services\n"
    "  --help             this text\n"
    "  --version          the versions of vazdiag and of the plug-in beside it\n"
    "\n"
    "vazdiag history [--car TEXT] [--history FILE]\n"
    "                     list the recorded sessions, newest first; --car keeps those whose\n"
    "                     identification holds TEXT (a VIN, a part number)\n"
    "vazdiag report N [-o FILE.html] [--history FILE]\n"
    "                     write session N as one HTML page with a chart per recorded item\n"
    "vazdiag history sync [--dry-run] [--history FILE] [--history-server URL] [--station NAME]\n"
    "                     copy to the server whatever it lacks, and say how much (NAME\n"
    "                     for sessions recorded before stations had names)\n"
    "vazdiag history --server [--vin TEXT] [--car TEXT] [--since YYYY-MM-DD]\n"
    "                     list the server's sessions of every station, newest first\n"
    "vazdiag report N --server [-o FILE.html]\n"
    "                     write session N of the server's list\n"
    "vazdiag web-history [HOST:PORT] [--history FILE]\n"
    "                     serve the list of sessions and their reports to a browser\n";

namespace {

// What a host application passes to the plug-in, for those who build one.
const char *const kIntegratorUsage =
    "\n"
    "For integrators (what a host application passes to the plug-in):\n"
    "  --ecu 1..11        the host's ECU type number: 1 m154, 2 m154-add, 3 m154n,\n"
    "                     4 m70-e2, 5 m70-e3, 6 m72, 7 m797-e2, 8 m797-e3, 9 gm-efi,\n"
    "                     10 gm-isfi, 11 auto\n"
    "  --functions BITS   function-availability bits the host passes (default 0x40000000:\n"
    "                     every menu entry); numbers are decimal unless written 0x..\n"
    "  --connector N      connector type the host passes, 0..255 (default 0)\n"
    "  --clock real|virtual  line timing in real time (default when interactive) or on\n"
    "                     a virtual clock (default with --script)\n"
    "  --port-option sysfs=DIR  where the port's sysfs entries are looked up\n";

const char *const kExitStatus =
    "\n"
    "Exit status: 0 done, 1 the workbench cannot be loaded, 2 a bad option or setup,\n"
    "3 the session ended on a communication failure, 4 a script step did not fit its screen,\n"
    "5 the trace or the live-data log could not be written in full.\n";

}  // namespace

std::string ecu_names_text() {
  std::string text;
  for (const EcuName &e : kEcuNames) {
    std::string line = "  " + std::string(e.name);
    line.resize(std::max<std::size_t>(line.size() + 2, 21), ' ');
    text += line + e.help + "\n";
  }
  return text;
}

std::string usage() {
  return std::string(kUsage) + "\nECU names (--ecu; written as you like: M1.5.4, m1.5.4, Bosch M7.9.7 E3, isfi):\n" +
         ecu_names_text() + kIntegratorUsage + kExitStatus;
}

int ecu_type_from_name(const std::string &name) {
  if (const EcuName *e = find_ecu(name)) return e->type;
  long n = 0;
  return parse_int(name, 1, 11, n) ? static_cast<int>(n) : 0;
}

std::string default_car_for(int ecuType) {
  for (const EcuName &e : kEcuNames)
    if (e.type == ecuType && !e.family) return e.car;
  return "m154";
}

std::optional<Options> parse_options(const std::vector<std::string> &args, std::string &error) {
  Options o;
  std::string car, clock, ecuCar;
  std::vector<std::string> portOptions;
  if (!args.empty() && (args[0] == "history" || args[0] == "report")) {
    auto history = parse_history_command(args, error);
    if (!history) return std::nullopt;
    o.history = *history;
    return o;
  }
  // ---- web front end and history pages
  if (!args.empty() && args[0] == "web-history") {
    o.webHistory = true;
    for (size_t i = 1; i < args.size(); ++i) {
      if (args[i] == "--history" && i + 1 < args.size())
        o.history.file = args[++i];
      else if (o.webHistoryAddress.empty() && args[i].rfind("-", 0) != 0)
        o.webHistoryAddress = args[i];
      else {
        error = "web-history takes [HOST:PORT] and --history FILE, got '" + workbench::printable(args[i]) + "'";
        return std::nullopt;
      }
    }
    return o;
  }
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string &a = args[i];
    if (a == "--web") {
      o.setup.web = true;
      if (i + 1 < args.size() && args[i + 1].rfind("-", 0) != 0) o.setup.webAddress = args[++i];
      continue;
    }
    if (a == "--open") {
      o.webOpen = true;
      continue;
    }
    // ---- end of the web options
    if (a == "--help" || a == "-h") {
      o.help = true;
      continue;
    }
    if (a == "--version") {
      o.version = true;
      continue;
    }
    if (a == "--list-ports") {
      o.listPorts = true;
      continue;
    }
    if (a == "--adapter-info") {
      o.adapterInfo = true;
      continue;
    }
    if (a == "--no-history" || a == "--record") {
      (a == "--record" ? o.history.recordAll : o.history.off) = true;
      continue;
    }
    static constexpr std::array kWithValue{
        "--ecu",         "--car",   "--car-option", "--script",         "--functions", "--connector",
        "--trace",       "--clock", "--log",        "--decode-trace",   "--port",      "--wakeup",
        "--port-option", "--lang",  "--history",    "--history-server", "--station",   "--adapter"};
    bool known = false;
    for (const char *k : kWithValue) known = known || a == k;
    if (!known) {
      error = "unknown option '" + workbench::printable(a) + "'";
      return std::nullopt;
    }
    if (i + 1 >= args.size()) {
      error = "option " + workbench::printable(a) + " needs a value";
      return std::nullopt;
    }
    const std::string &v = args[++i];
    long n = 0;
    if (a == "--ecu") {
      o.setup.ecuType = ecu_type_from_name(v);
      if (o.setup.ecuType == 0) {
        error = "unknown ECU '" + workbench::printable(v) + "' (see --help); --ecu takes:\n" + ecu_names_text();
        return std::nullopt;
      }
      const EcuName *named = find_ecu(v);
      ecuCar = named != nullptr ? named->car : default_car_for(o.setup.ecuType);
    } else if (a == "--car") {
      car = v;
    } else if (a == "--car-option") {
      auto eq = v.find('=');
      if (eq == std::string::npos || eq == 0) {
        error = "--car-option needs KEY=VALUE, got '" + workbench::printable(v) + "'";
        return std::nullopt;
      }
      o.setup.carOptions.emplace_back(v.substr(0, eq), v.substr(eq + 1));
    } else if (a == "--port") {
      o.setup.port = v;
    } else if (a == "--wakeup") {
      if (v != "break" && v != "byte" && v != "auto") {
        error = "--wakeup is break, byte or auto, got '" + workbench::printable(v) + "'";
        return std::nullopt;
      }
      portOptions.push_back("wakeup=" + v);
    } else if (a == "--port-option") {
      if (v.find('=') == std::string::npos || v.find(',') != std::string::npos) {
        error = "--port-option needs KEY=VALUE, got '" + workbench::printable(v) + "'";
        return std::nullopt;
      }
      portOptions.push_back(v);
    } else if (a == "--adapter") {
      if (v != "auto" && v != "kline" && v != "elm327") {
        error = "--adapter is auto, kline or elm327, got '" + workbench::printable(v) + "'";
        return std::nullopt;
      }
      portOptions.push_back("adapter=" + v);
    } else if (a == "--script") {
      o.scriptFile = v;
    } else if (a == "--functions") {
      if (!parse_int(v, 0, 0xFFFFFFFFL, n)) {
        error = "--functions needs a number such as 0x40000000, got '" + workbench::printable(v) + "'";
        return std::nullopt;
      }
      o.setup.functions = static_cast<int>(static_cast<unsigned>(n));
    } else if (a == "--connector") {
      if (!parse_int(v, 0, 255, n)) {
        error = "--connector needs a number 0..255, got '" + workbench::printable(v) + "'";
        return std::nullopt;
      }
      o.setup.connector = static_cast<int>(n);
    } else if (a == "--trace") {
      o.setup.traceFile = v;
    } else if (a == "--history") {
      // An empty name would quietly mean the default file.
      if (v.empty()) {
        error = "--history needs a file name, got ''";
        return std::nullopt;
      }
      o.history.file = v;
    } else if (a == "--history-server") {
      o.history.server = v;
    } else if (a == "--station") {
      o.history.station = v;
    } else if (a == "--log") {
      o.setup.logFile = v;
    } else if (a == "--decode-trace") {
      o.decodeTraceFile = v;
    } else if (a == "--lang") {
      if (v != "ru" && v != "en") {
        error = "--lang is ru or en, got '" + workbench::printable(v) + "'";
        return std::nullopt;
      }
      o.setup.language = v;
    } else if (a == "--clock") {
      if (v != "real" && v != "virtual") {
        error = "--clock is real or virtual, got '" + workbench::printable(v) + "'";
        return std::nullopt;
      }
      clock = v;
    }
  }
  if (ecuCar.empty()) ecuCar = default_car_for(o.setup.ecuType);
  o.setup.car = car.empty() ? ecuCar : car;
  o.setup.interactive = o.scriptFile.empty();
  if (o.setup.web && !o.scriptFile.empty()) {
    error = "--web and --script are two ways of playing the user: choose one";
    return std::nullopt;
  }
  if (std::string e; o.setup.web && !webserve::parseWebAddress(o.setup.webAddress, e)) {
    error = "--web: " + e;
    return std::nullopt;
  }
  if (o.webOpen && !o.setup.web) {
    error = "--open opens the page of --web";
    return std::nullopt;
  }
  o.setup.virtualClock = clock.empty() ? !o.setup.interactive : clock == "virtual";
  if (!o.setup.port.empty()) {
    // A real wire has no simulated car and only one clock.
    if (!car.empty() || !o.setup.carOptions.empty()) {
      error = "--port talks to a real car: --car and --car-option are for the simulated one";
      return std::nullopt;
    }
    if (clock == "virtual") {
      error = "--port runs in real time: --clock virtual is for the simulated car";
      return std::nullopt;
    }
    o.setup.virtualClock = false;
  } else if (!portOptions.empty()) {
    error = "--wakeup, --port-option and --adapter need --port";
    return std::nullopt;
  }
  if (o.adapterInfo && o.setup.port.empty()) {
    error = "--adapter-info needs --port";
    return std::nullopt;
  }
  // A GM unit talks ALDL: the interface refuses an ELM327 for it at once.
  if (!o.setup.port.empty() && (o.setup.ecuType == 9 || o.setup.ecuType == 10)) portOptions.push_back("bus=aldl");
  for (const std::string &p : portOptions) o.setup.portOptions += (o.setup.portOptions.empty() ? "" : ",") + p;
  return o;
}

}  // namespace vazdiag
