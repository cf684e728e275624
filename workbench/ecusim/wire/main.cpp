// vazdiag-ecu: a simulated ECU on the far end of a serial line (a pty or a real device),
// for testing the vehicle interface's serial line against the same models the in-process
// simulation uses.
#include "elm327_run.h"
#include "link_guard.h"
#include "model_front.h"
#include "pty_port.h"
#include "wire_clock.h"
#include "wire_ecu.h"
#include "wire_log.h"
#include "wire_options.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void on_stop_signal(int) { g_stop = 1; }

int refuse(const std::string &why) {
  std::cerr << "vazdiag-ecu: " << why << "\n";
  return 2;
}

}  // namespace

int main(int argc, char **argv) {
  using namespace ecusim::wire;
  const WireClock clock;  // the models' time 0

  std::string error;
  std::vector<std::string> args(argv + 1, argv + argc);
  AdapterOptions adapter;
  if (!take_adapter_options(args, adapter, error)) return refuse(error + "\nTry 'vazdiag-ecu --help'.");
  // On TCP the adapter has no line of its own for the ECU's options to name.
  if (adapter.tcp_port) args.emplace_back("--pty");
  const auto options = parse_wire_options(args, error);
  if (!options) return refuse(error + "\nTry 'vazdiag-ecu --help'.");
  if (options->help) {
    std::cout << kWireUsage << kAdapterUsage;
    return 0;
  }

  std::unique_ptr<WireLog> log =
      options->log.empty() ? std::make_unique<WireLog>() : std::make_unique<WireLog>(options->log);
  if (!log->ok()) return refuse("cannot write the log " + options->log);

  auto front = make_front(options->car, options->line, options->faults, options->timing.answer_ms, *log);
  if (!front) return refuse("no model for car '" + options->car + "'");
  for (const auto &[key, value] : options->car_options)
    if (!front->set_option(key, value, error)) return refuse("--car-option " + key + ": " + error);

  // SIGTERM / SIGINT are blocked except inside the loop's ppoll, so the stop flag is never
  // missed between checking it and waiting.
  struct sigaction action {};
  action.sa_handler = on_stop_signal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);  // a reader of the printed path may have gone already
  sigset_t stops, poll_mask;
  sigemptyset(&stops);
  sigaddset(&stops, SIGTERM);
  sigaddset(&stops, SIGINT);
  sigprocmask(SIG_BLOCK, &stops, &poll_mask);

  if (adapter.enabled) {
    if (front->framing() != Framing::Kwp) return refuse("--adapter elm327 talks ISO 14230-4: a Bosch K-line car");
    if (!options->pty || (adapter.tcp_port && !options->link.empty()))
      return refuse("--adapter elm327 takes --pty [--link PATH] or --tcp PORT");
    const int status = run_adapter(adapter, *front, *log, clock, options->link, g_stop, &poll_mask);
    log->line(clock.now_ms(), status == 0 ? "stopped" : "ended: the line failed");
    return status;
  }

  auto port = options->pty ? WirePort::open_pty(front->port_baud(), error)
                           : WirePort::open_device(options->port, front->port_baud(), error);
  if (!port) return refuse(error);
  const auto link =
      options->link.empty() ? std::optional<LinkGuard>() : LinkGuard::make(options->link, port->path(), error);
  if (!options->link.empty() && !link) return refuse(error);
  if (options->pty) {
    std::printf("%s\n", port->path().c_str());
    std::fflush(stdout);
  }
  log->line(clock.now_ms(), "vazdiag-ecu: car " + options->car + " (" + front->describe() + ") on " + port->path());

  WireEcu ecu(*port, *front, *log, clock, options->echo, options->timing);
  const int status = ecu.run(g_stop, &poll_mask);
  log->line(clock.now_ms(), status == 0 ? "stopped" : "ended: the line failed");
  return status;
}
