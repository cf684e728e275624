// Process-wide vehicle interface state.
#include "vci_instance.h"

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
  active = Active::KLine;
  line_chosen = false;
  trace.event(0.0, "interface reset");
}

void Instance::apply_configured_port() {
  if (line_chosen) return;
  line_chosen = true;  // read once per reset
  const ConfiguredPort c = configured_port();
  if (c.device.empty()) return;
  std::string error;
  const auto settings = parse_port_settings(c.options, error);
  if (!settings) {
    serial->refuse_configuration(c.file + ": " + error);
    trace.event(0.0, "configured port refused: " + c.file + ": " + error);
    active = Active::Serial;
    return;
  }
  active = Active::Serial;
  serial->use_port(c.device, *settings);
}

Instance &instance() {
  static Instance v;
  return v;
}

}  // namespace vci
