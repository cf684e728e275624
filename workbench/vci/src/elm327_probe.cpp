// The adapter probe and the choice of line it leads to.
#include "elm327_probe.h"

#include "clock.h"

#include <chrono>

namespace vci {
namespace {

constexpr double kProbeWaitMs = 150;  // an adapter answers ATI within a few ms; ATZ is not used here

struct Probe {
  enum class Found { Adapter, Echo, Nothing } found = Found::Nothing;
  std::string version;
};

double now_ms() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

Probe ask(AdapterTransport &t, std::string &error) {
  Probe p;
  t.discard_input();
  // Whatever a previous user left half typed makes this a "?", which still ends in a prompt.
  const std::string sent = "ATI\r";
  if (!t.write(sent, error)) return p;
  std::string got;
  const double deadline = now_ms() + kProbeWaitMs;
  char buf[256];
  while (now_ms() < deadline && got.find('>') == std::string::npos) {
    std::size_t n = 0;
    if (t.read(buf, sizeof buf, n, deadline - now_ms(), error) == AdapterTransport::Read::Lost) return p;
    got.append(buf, n);
  }
  if (got.find('>') != std::string::npos) {
    p.found = Probe::Found::Adapter;
    for (const std::string &l : reply_lines(got))
      if (l != "ATI" && l != "?" && p.version.empty()) p.version = l;
  } else if (got == sent) {
    p.found = Probe::Found::Echo;
  }
  return p;
}

}  // namespace

std::optional<AdapterChoice> take_adapter_option(std::string &options, std::string &error) {
  AdapterChoice choice;
  std::string rest;
  std::size_t at = 0;
  while (at <= options.size()) {
    std::size_t comma = options.find(',', at);
    if (comma == std::string::npos) comma = options.size();
    const std::string item = options.substr(at, comma - at);
    at = comma + 1;
    if (item == "bus=aldl" || item == "bus=kline") {
      choice.aldl = item == "bus=aldl";
      continue;
    }
    if (item.rfind("adapter=", 0) != 0) {
      if (!item.empty()) rest += (rest.empty() ? "" : ",") + item;
      continue;
    }
    const std::string v = item.substr(8);
    if (v == "auto") {
      choice.kind = AdapterKind::Auto;
    } else if (v == "kline") {
      choice.kind = AdapterKind::KLine;
    } else if (v == "elm327") {
      choice.kind = AdapterKind::Elm327;
    } else {
      error = "port option '" + item + "': adapter=auto|kline|elm327";
      return std::nullopt;
    }
  }
  options = rest;
  return choice;
}

int connect_adapter(ElmLine &line, WireTrace &trace, const std::string &where, const PortSettings &settings,
                    AdapterChoice choice) {
  const bool tcp = is_tcp_address(where);
  if (choice.kind == AdapterKind::KLine) {
    if (!tcp) return 0;
    line.set_error("a raw K-line cable has no network address: tcp:// is for an ELM327 on Wi-Fi");
    return -1;
  }
  std::string error;
  auto transport = open_transport(where, settings, error);
  // A port that cannot be opened is the raw line's to report, as it always has been.
  if (!transport && choice.kind == AdapterKind::Auto && !tcp) return 0;
  if (!transport) {
    line.set_error(error);
    trace.event(line.clock_ms(), "adapter not reached: " + error);
    return -1;
  }
  if (!tcp) trace.event(line.clock_ms(), "adapter probe: port " + where + " opened" + transport->open_notes());
  AdapterCaps caps;
  if (tcp) {
    const Probe p = ask(*transport, error);
    if (p.found != Probe::Found::Adapter) {
      line.set_error("no ELM327 answers at " + where + (error.empty() ? "" : ": " + error));
      return -1;
    }
    caps.version = p.version;
  } else {
    bool found = false;
    for (double rate : kHostRates) {
      if (!transport->set_rate(rate, error)) continue;
      const Probe p = ask(*transport, error);
      if (p.found == Probe::Found::Adapter) {
        caps.host_baud = rate;
        caps.version = p.version;
        found = true;
        break;
      }
      // Everything handed straight back: a raw K-line cable (its echo); no adapter behind.
      if (p.found == Probe::Found::Echo && choice.kind == AdapterKind::Auto) {
        trace.event(line.clock_ms(), "adapter probe: the port echoes ATI unchanged, a raw K-line cable");
        return 0;
      }
    }
    if (!found) {
      if (choice.kind == AdapterKind::Auto) {
        trace.event(line.clock_ms(),
                    "adapter probe: no ELM327 answers ATI at 38400 to 500000 baud: taken as a raw K-line cable");
        return 0;
      }
      line.set_error("no ELM327 answers ATI on " + where +
                     " at any usual host rate (38400, 9600, 115200, 57600, "
                     "230400, 500000 baud): is it powered (plugged into the car)?");
      return -1;
    }
  }
  if (choice.aldl) {
    line.set_error(std::string(kNoAldl));
    trace.event(line.clock_ms(), "adapter refused: " + line.last_error());
    return -1;
  }
  trace.event(line.clock_ms(), "adapter probe: an ELM327 (" + caps.version + ")" +
                                   (tcp ? std::string(" at ") + where
                                        : " at " + std::to_string(static_cast<long>(caps.host_baud)) + " baud"));
  return line.use_adapter(std::move(transport), caps) ? 1 : -1;
}

}  // namespace vci
