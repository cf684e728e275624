// The way to an ELM327 adapter: a serial device (USB, or Bluetooth bound to /dev/rfcomm*)
// at a host rate set and read back, or a TCP connection to a Wi-Fi adapter
// ("tcp://192.168.0.10:35000"). Both carry the adapter's text; a connection that drops is
// seen at the next read or write and may be made again once.
#pragma once

#include "serial_port.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace vci {

class AdapterTransport {
 public:
  enum class Read { Data, Timeout, Lost };
  virtual ~AdapterTransport() = default;

  virtual bool write(std::string_view text, std::string &error) = 0;
  // Waits at most timeout_ms for input and reads what is there.
  virtual Read read(char *buf, std::size_t cap, std::size_t &got, double timeout_ms, std::string &error) = 0;
  virtual std::size_t discard_input() = 0;
  // Serial only: the host rate, exact within 2 %; a connection has none (true).
  virtual bool set_rate(double baud, std::string &error) = 0;
  // Opens the way again after it was lost; false with a reason.
  virtual bool reconnect(std::string &error) = 0;
  virtual bool network() const = 0;
  // "/dev/rfcomm0" or "tcp://127.0.0.1:35000"
  virtual const std::string &where() const = 0;
  // What opening found out (a serial port's driver, chip, latency timer), for the trace.
  virtual std::string open_notes() const { return {}; }
};

// True when 'where' names a TCP adapter ("tcp://HOST:PORT").
bool is_tcp_address(std::string_view where);

// Opens the serial device or connects to the address (within 3 s); null with a reason.
std::unique_ptr<AdapterTransport> open_transport(const std::string &where, const PortSettings &settings,
                                                 std::string &error);

}  // namespace vci
