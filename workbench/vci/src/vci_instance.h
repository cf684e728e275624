// The one vehicle interface of the process: the simulated K line, ALDL line and OBD-II bus,
// the serial line to a real cable or an ELM327 adapter, their trace and the lock that keeps the host's thread and
// a control thread (vazdiag, tests) from interleaving.
// The selected car, or the chosen port, decides which line the plug-in's calls reach.
#pragma once

#include "aldl_line.h"
#include "elm327_line.h"
#include "elm327_probe.h"
#include "k_line.h"
#include "obd_line.h"
#include "serial_line.h"
#include "wire_trace.h"

#include <memory>
#include <mutex>
#include <string>

namespace vci {

struct Instance {
  std::recursive_mutex lock;
  WireTrace trace;
  std::unique_ptr<KLine> line;
  std::unique_ptr<AldlLine> aldl;
  std::unique_ptr<ObdLine> obd;
  std::unique_ptr<SerialLine> serial;
  std::unique_ptr<ElmLine> elm;  // an ELM327 adapter on the port
  enum class Active { KLine, Aldl, Obd, Serial, Elm };
  Active active = Active::KLine;  // the line of the selected car or port
  // The control interface chose the line since the last reset; otherwise the host's
  // configuration file may name a port.
  bool line_chosen = false;
  std::string trace_snapshot;        // what VciTraceText last handed out
  std::string trace_error_snapshot;  // what VciTraceWriteError last handed out
  std::string error_snapshot;        // what VciLastError last handed out
  std::string ports_snapshot;        // what VciListPorts last handed out
  std::string notes_snapshot;        // what VciPortNotes last handed out
  std::string info_snapshot;         // what VciAdapterInfo last handed out

  Instance();
  void reset();
  // Without a choice by the control interface, a port named in StdCfg.ini takes the line.
  void apply_configured_port();
  // The port as the user named it: an ELM327 adapter (asked for, on a network address, or
  // found by the probe) or a raw cable. 0, or -1 with the active line's error.
  int open_port(const std::string &device, const PortSettings &settings, AdapterChoice choice);
};

Instance &instance();

// Runs f(line) under the lock.
template <class F>
auto with_line(F &&f) {
  Instance &v = instance();
  std::lock_guard<std::recursive_mutex> g(v.lock);
  return f(*v.line);
}

// Runs f(line) under the lock on the line of the selected car; f takes either line type.
template <class F>
auto with_active(F &&f) {
  Instance &v = instance();
  std::lock_guard<std::recursive_mutex> g(v.lock);
  switch (v.active) {
    case Instance::Active::Aldl: return f(*v.aldl);
    case Instance::Active::Obd: return f(*v.obd);
    case Instance::Active::Serial: return f(*v.serial);
    case Instance::Active::Elm: return f(*v.elm);
    case Instance::Active::KLine: break;
  }
  return f(*v.line);
}

}  // namespace vci

#define VCI_EXPORT extern "C" __attribute__((visibility("default")))
