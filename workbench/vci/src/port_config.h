// The serial port a host names in its configuration file, for hosts that do not use the
// control interface: "StdCfg.ini" in the "assets" folder beside this library (where the
// display host's file path points as well), keys
//   VciPort=/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0
//   VciPortOptions=wakeup=auto,echo=on,dtr=on,rts=off
// A missing file or key leaves the simulated line in place.
#pragma once

#include <string>

namespace vci {

struct ConfiguredPort {
  std::string file;     // the file read, for messages
  std::string device;   // empty: none configured
  std::string options;  // as parse_port_settings takes them
};

ConfiguredPort configured_port();

// The value of "key=" in ini text (to the end of its line or a ';'), trimmed; empty when
// missing.
std::string ini_value(const std::string &text, const std::string &key);

}  // namespace vci
