// Process-wide vehicle interface state.
#include "vci_instance.h"

#include "elm327_probe.h"
#include "port_config.h"

namespace vci {

Instance::Instance() { reset(); }

void Instance::reset() {
  trace.clear();
  line = std::make_unique<KLine>(trace);
  aldl = std::make_unique<AldlLine>(trace);
  obd = std::make_unique<ObdLine>(trace);
  serial.reset();  // closes the port and ends its keep-alive thread
  serial = std::make_unique<SerialLine>(trace);
  elm.reset();
  elm = std::make_unique<ElmLine>(trace);
  active = Active::KLine;
  line_chosen = false;
  trace.event(0.0, "interface reset");
}

void Instance::apply_configured_port() {
  if (line_chosen) return;
  line_chosen = true;  // read once per reset
  const ConfiguredPort c = configured_port();
  if (c.device.empty()) return;
  std::string error, options = c.options;
  const auto choice = take_adapter_option(options, error);
  const auto settings = choice ? parse_port_settings(options, error) : std::nullopt;
  if (!settings) {
    serial->refuse_configuration(c.file + ": " + error);
    trace.event(0.0, "configured port refused: " + c.file + ": " + error);
    active = Active::Serial;
    return;
  }
  open_port(c.device, *settings, *choice);
}

int Instance::open_port(const std::string &device, const PortSettings &settings, AdapterChoice choice) {
  active = Active::Serial;
  const int adapter = connect_adapter(*elm, trace, device, settings, choice);
  if (adapter != 0) {
    active = Active::Elm;
    return adapter > 0 ? 0 : -1;
  }
  return serial->use_port(device, settings) ? 0 : -1;
}

Instance &instance() {
  static Instance v;
  return v;
}

}  // namespace vci
