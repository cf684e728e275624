// Telling an ELM327 adapter from a raw K-line cable on the port the user named, and
// putting the ELM327 line on it. The probe sends only "ATI" and a carriage return at the
// usual host rates: printable characters at rates far from 10400 baud, which no K-line ECU
// can read as a request. A raw cable hands them straight back (its echo); an adapter
// answers with its version and prompt.
#pragma once

#include "elm327_line.h"
#include "serial_port.h"

#include <optional>
#include <string>

namespace vci {

enum class AdapterKind { Auto, KLine, Elm327 };

struct AdapterChoice {
  AdapterKind kind = AdapterKind::Auto;
  bool aldl = false;  // the host means to talk ALDL (a GM unit), which no ELM327 can
};

// Takes "adapter=auto|kline|elm327" and "bus=aldl|kline" out of a port option list;
// nullopt with a reason when a value is none of them.
std::optional<AdapterChoice> take_adapter_option(std::string &options, std::string &error);

// Host rates to try, most common first.
inline constexpr double kHostRates[] = {38400, 9600, 115200, 57600, 230400, 500000};

// Puts the adapter on the line: 1 when an ELM327 now serves it, 0 when the port holds no
// adapter and the raw cable's line should take it (auto only), -1 on a failure (the
// line's last error says why).
int connect_adapter(ElmLine &line, WireTrace &trace, const std::string &where, const PortSettings &settings,
                    AdapterChoice choice);

}  // namespace vci
