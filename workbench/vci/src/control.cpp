// The workbench's control interface: car, options, clock, faults, trace.
#include "vci_control.h"
#include "vci_instance.h"

#include "serial_sysfs.h"

#include "ecusim/ecu_catalogue.h"

#include <cstdio>
#include <string>

#include "workbench/printable.h"

using vci::instance;
using vci::Instance;
using vci::KLine;
using vci::with_active;
using vci::with_line;

VCI_EXPORT void VciReset(void) {
  auto &v = instance();
  std::lock_guard<std::recursive_mutex> g(v.lock);
  v.reset();
}

VCI_EXPORT int VciSelectCar(const char *name) {
  return with_line([&](KLine &l) {
    const std::string n = name ? name : "";
    if (!ecusim::known_car(n)) {
      l.set_error("unknown car \"" + workbench::printable(n) + "\"; known cars: " + ecusim::car_names());
      instance().aldl->set_error(l.last_error());
      instance().obd->set_error(l.last_error());
      return -1;
    }
    // A GM car puts its ECU on the ALDL line, an OBD car its responder on the OBD bus; that
    // line then takes the plug-in's calls, on the clock kind the previous line ran on.
    auto &v = instance();
    v.line_chosen = true;
    if (v.active == Instance::Active::Serial || v.active == Instance::Active::Elm) {
      v.active = Instance::Active::KLine;
      v.serial = std::make_unique<vci::SerialLine>(v.trace);  // closes the port
      v.elm = std::make_unique<vci::ElmLine>(v.trace);
    }
    const bool virtual_time = with_active([](auto &a) { return a.virtual_clock(); });
    auto aldl = ecusim::make_aldl_ecu(n);
    auto obd = ecusim::make_obd_ecu(n);
    v.active = aldl ? Instance::Active::Aldl : obd ? Instance::Active::Obd : Instance::Active::KLine;
    with_active([&](auto &a) {
      if (a.virtual_clock() != virtual_time) a.use_clock(virtual_time);
      return 0;
    });
    if (aldl)
      v.aldl->set_ecu(std::move(aldl), n);
    else if (obd)
      v.obd->set_ecu(std::move(obd), n);
    else
      l.set_ecu(ecusim::make_ecu(n), n);
    return 0;
  });
}

VCI_EXPORT int VciUsePort(const char *device, const char *options) {
  auto &v = instance();
  std::lock_guard<std::recursive_mutex> g(v.lock);
  v.line_chosen = true;
  std::string error, rest = options ? options : "";
  const auto choice = vci::take_adapter_option(rest, error);
  const auto settings = choice ? vci::parse_port_settings(rest, error) : std::nullopt;
  v.active = Instance::Active::Serial;
  if (!settings) {
    v.serial->set_error(error);
    return -1;
  }
  if (!device || !*device) {
    v.serial->set_error("no serial device named");
    return -1;
  }
  return v.open_port(device, *settings, *choice);
}

VCI_EXPORT const char *VciAdapterInfo(const char *device, const char *options) {
  auto &v = instance();
  std::lock_guard<std::recursive_mutex> g(v.lock);
  v.info_snapshot.clear();
  std::string error, rest = options ? options : "";
  const auto choice = vci::take_adapter_option(rest, error);
  const auto settings = choice ? vci::parse_port_settings(rest, error) : std::nullopt;
  if (!settings) {
    v.info_snapshot = "error: " + error + "\n";
    return v.info_snapshot.c_str();
  }
  const int r = vci::connect_adapter(*v.elm, v.trace, device ? device : "", *settings,
                                     vci::AdapterChoice{vci::AdapterKind::Elm327, false});
  if (r <= 0) {
    v.info_snapshot = r == 0 ? "no ELM327 adapter: the port hands back what it is sent, as a raw K-line cable does\n"
                             : "error: " + v.elm->last_error() + "\n";
    return v.info_snapshot.c_str();
  }
  v.elm->probe_request_capabilities();
  v.info_snapshot = vci::describe_caps(v.elm->caps());
  v.elm = std::make_unique<vci::ElmLine>(v.trace);  // lets the port go
  return v.info_snapshot.c_str();
}

VCI_EXPORT const char *VciListPorts(const char *devRoot, const char *sysfsRoot) {
  auto &v = instance();
  std::lock_guard<std::recursive_mutex> g(v.lock);
  v.ports_snapshot = vci::format_port_list(
      vci::list_ports(devRoot && *devRoot ? devRoot : "/dev", sysfsRoot && *sysfsRoot ? sysfsRoot : "/sys"));
  return v.ports_snapshot.c_str();
}

VCI_EXPORT const char *VciPortNotes(void) {
  auto &v = instance();
  std::lock_guard<std::recursive_mutex> g(v.lock);
  v.notes_snapshot = v.serial->take_user_notes() + v.elm->take_user_notes();
  return v.notes_snapshot.c_str();
}

VCI_EXPORT int VciCarOption(const char *key, const char *value) {
  return with_active([&](auto &l) {
    const std::string k = key ? key : "";
    const std::string val = value ? value : "";
    if (k == "line") {
      if (val != "ok" && val != "refused") {
        l.set_error("line: \"ok\" or \"refused\"");
        return -1;
      }
      instance().line->refuse_line(val == "refused");
      instance().aldl->refuse_line(val == "refused");
      instance().obd->refuse_line(val == "refused");
      l.setting("line option " + val);
      return 0;
    }
    // A real cable has no simulated car whose options could be set.
    if constexpr (requires { l.ecu(); }) {
      if (l.ecu()) {
        std::string error;
        if (!l.ecu()->set_option(k, val, error)) {
          l.set_error(error);
          return -1;
        }
        l.setting("car option " + k + " = \"" + val + "\"");
        return 0;
      }
    }
    l.set_error("no car on the line: option \"" + k + "\" refused");
    return -1;
  });
}

VCI_EXPORT void VciUseVirtualClock(int on) {
  with_active([&](auto &l) {
    l.use_clock(on != 0);
    return 0;
  });
}

VCI_EXPORT void VciAdvanceClock(unsigned ms) {
  with_active([&](auto &l) {
    l.advance(ms);
    return 0;
  });
}

VCI_EXPORT double VciClockMs(void) {
  return with_active([](auto &l) { return l.clock_ms(); });
}

VCI_EXPORT int VciInjectFault(const char *kind, int sid, int nrc, int skip, int count) {
  return with_active([&](auto &l) {
    const auto k = vci::fault_kind(kind ? kind : "");
    if (!k) {
      l.set_error("unknown fault kind; known: no-answer, negative, bad-checksum, late");
      return -1;
    }
    if (sid < -1 || sid > 0xFF || nrc < 0 || nrc > 0xFF || skip < 0 || count < -1) {
      l.set_error("fault arguments out of range");
      return -1;
    }
    // On a real cable the faults are the wire's own (or the ECU program's options).
    if constexpr (requires { l.faults(); }) {
      l.faults().arm(vci::Fault{*k, sid, static_cast<std::uint8_t>(nrc), skip, count});
      char s[96];
      std::snprintf(s, sizeof s, "fault armed: %s sid %d nrc %02X skip %d count %d", kind, sid, nrc, skip, count);
      l.setting(s);
      return 0;
    } else {
      l.set_error("faults are armed on simulated lines only");
      return -1;
    }
  });
}

VCI_EXPORT int VciClearFaults(void) {
  return with_active([&](auto &l) {
    if constexpr (requires { l.faults(); }) l.faults().clear();
    l.setting("faults cleared");
    return 0;
  });
}

VCI_EXPORT const char *VciTraceText(void) {
  auto &v = instance();
  std::lock_guard<std::recursive_mutex> g(v.lock);
  v.trace.flush();  // whoever reads the trace may also look at its file
  v.trace_snapshot = v.trace.text();
  return v.trace_snapshot.c_str();
}

VCI_EXPORT void VciKeepTrace(int on) {
  auto &v = instance();
  std::lock_guard<std::recursive_mutex> g(v.lock);
  // 2: the newest lines only, so that a long session's trace stays bounded.
  constexpr std::size_t kTail = 256u << 10;
  v.trace.set_keep(on != 0, on == 2 ? kTail : vci::WireTrace::kKeepAll);
}

VCI_EXPORT void VciSetFrameObserver(VciFrameObserver observer, void *context) {
  auto &v = instance();
  std::lock_guard<std::recursive_mutex> g(v.lock);
  v.trace.set_observer(observer, context);
}

VCI_EXPORT const char *VciTraceWriteError(void) {
  auto &v = instance();
  std::lock_guard<std::recursive_mutex> g(v.lock);
  v.trace.flush();
  v.trace_error_snapshot = v.trace.write_error();
  return v.trace_error_snapshot.c_str();
}

VCI_EXPORT int VciSetTraceFile(const char *path) {
  auto &v = instance();
  std::lock_guard<std::recursive_mutex> g(v.lock);
  const std::string p = path ? path : "";
  if (!v.trace.set_file(p)) {
    with_active([&](auto &l) {
      l.set_error("cannot open trace file " + p);
      return 0;
    });
    return -1;
  }
  return 0;
}

VCI_EXPORT const char *VciLastError(void) {
  auto &v = instance();
  std::lock_guard<std::recursive_mutex> g(v.lock);
  v.error_snapshot = with_active([](auto &l) { return l.last_error(); });
  return v.error_snapshot.c_str();
}
