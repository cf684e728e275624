// The one vehicle interface of the process: the K line, the ALDL line, their trace and the
// lock that keeps the host's thread and a control thread (vazdiag, tests) from interleaving.
// The selected car decides which line the plug-in's calls reach.
#pragma once

#include "aldl_line.h"
#include "k_line.h"
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
  bool aldl_active = false;  // a GM car is selected
  std::string trace_snapshot;  // what VciTraceText last handed out
  std::string error_snapshot;  // what VciLastError last handed out

  Instance();
  void reset();
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
  return v.aldl_active ? f(*v.aldl) : f(*v.line);
}

}  // namespace vci

#define VCI_EXPORT extern "C" __attribute__((visibility("default")))
