// What the system knows about a USB serial cable: its device node, kernel driver, chip and
// latency timer (read from sysfs), whether this user may open it, and the advice a person
// needs when it is missing, busy or refused. The sysfs and /dev roots are parameters so tests
// can point them at a fake tree.
#pragma once

#include "serial_chips.h"

#include <string>
#include <vector>

namespace vci {

struct PortInfo {
  std::string path;                // as given, or the node in <dev root> for a listed port
  std::string resolved;            // real path after symlinks; empty when it does not exist
  std::string name;                // kernel name: "ttyUSB0" ("5" for /dev/pts/5)
  std::vector<std::string> by_id;  // /dev/serial/by-id links to it (filled by list_ports)
  std::string driver;              // as sysfs names it ("ftdi_sio", "ch341-uart"); empty: unknown
  std::string vendor_id;           // USB ids as sysfs writes them ("0403"), empty when unknown
  std::string product_id;
  std::string product;               // USB product string
  const SerialChip *chip = nullptr;  // row of kSerialChips, null when unknown
  std::string latency_timer;         // sysfs file, empty when the port has none
  int latency_ms = -1;               // its value when read, -1 when unknown
  bool is_char_device = false;
  bool may_open = false;  // this user has read and write access
  std::string group;      // owning group of the node, for the permission advice
};

PortInfo describe_port(const std::string &device, const std::string &sysfs_root = "/sys");

// /dev/ttyUSB*, /dev/ttyACM* and what /dev/serial/by-id points at: one entry per device with
// its by-id names, in natural order (ttyUSB2 before ttyUSB10).
std::vector<PortInfo> list_ports(const std::string &dev_root = "/dev", const std::string &sysfs_root = "/sys");

// The --list-ports text: one block per device, or what to check when there is none.
std::string format_port_list(const std::vector<PortInfo> &ports);

// What to do about a node this user may not open, given its owning group.
std::string permission_advice(const std::string &group);

enum class LatencyMethod {
  NotPresent,  // the port has no latency timer: nothing to do
  AlreadyLow,  // it was at 1 ms already
  Sysfs,       // written through the sysfs file
  SerialFlag,  // ASYNC_LOW_LATENCY through TIOCSSERIAL on the open port
  Failed,      // neither worked: see warning
};

struct LatencyOutcome {
  LatencyMethod method = LatencyMethod::NotPresent;
  int before_ms = -1;  // -1: could not be read
  int after_ms = -1;
  std::string warning;  // for the user when the timer stays high; names the file and the fix
  std::string trace;    // one line for the wire trace
  bool low() const { return method != LatencyMethod::Failed; }
};

// Lowers the port's latency timer to 1 ms: the sysfs file first, then the low-latency flag on
// fd (the open port; -1 skips it).
LatencyOutcome set_low_latency(const PortInfo &port, int fd);

// What to tell the user when opening device failed with err (an errno value). The first line
// says what happened; further lines say what to do.
std::string open_error_text(const std::string &device, int err, const std::string &sysfs_root = "/sys",
                            const std::string &dev_root = "/dev");

}  // namespace vci
