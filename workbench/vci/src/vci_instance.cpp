// Process-wide vehicle interface state.
#include "vci_instance.h"

namespace vci {

Instance::Instance() { reset(); }

void Instance::reset() {
  trace.clear();
  line = std::make_unique<KLine>(trace);
  aldl = std::make_unique<AldlLine>(trace);
  obd = std::make_unique<ObdLine>(trace);
  active = Active::KLine;
  trace.event(0.0, "interface reset");
}

Instance &instance() {
  static Instance v;
  return v;
}

}  // namespace vci
