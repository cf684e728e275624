// vazdiag-ecu --adapter elm327: the fake adapter's options and its event loop on the host
// side, a pseudo-terminal (answering only at its host rate) or a TCP listener on the
// loopback address (one connection at a time).
#pragma once

#include "elm327_fake.h"
#include "wire_clock.h"

#include <csignal>
#include <optional>
#include <string>
#include <vector>

namespace ecusim::wire {

struct AdapterOptions {
  bool enabled = false;
  std::optional<int> tcp_port;  // 0: any free port
  ElmVariant variant;
};

// Takes the adapter's options out of args (the rest is the wire ECU's); false with a reason.
bool take_adapter_options(std::vector<std::string> &args, AdapterOptions &out, std::string &error);

extern const char *const kAdapterUsage;

// Serves the adapter until 'stop' is set: 0, or 1 when the host side failed. 'link' with
// --pty as for the wire ECU. The pty's path, or "tcp://127.0.0.1:PORT", is printed on
// standard output.
int run_adapter(const AdapterOptions &options, ModelFront &front, WireLog &log, const WireClock &clock,
                const std::string &link, const volatile std::sig_atomic_t &stop, const sigset_t *poll_mask);

}  // namespace ecusim::wire
