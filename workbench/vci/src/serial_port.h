// One opened serial device for the vehicle interface: opened without becoming the
// controlling terminal, locked against a second user, raw 8N1, DTR and RTS as the cable
// needs, the rate set exactly and read back, break, and byte I/O with time-outs. Every
// failure comes back as a text a user can act on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "serial_termios.h"

namespace vci {

// How the fast-init low pulse is made: a held break, or a 0x00 byte sent at 360 baud
// (start bit and eight zero bits: 25 ms low); auto picks the break where it reaches the wire.
enum class Wakeup { Auto, Break, Byte };

struct PortSettings {
  Wakeup wakeup = Wakeup::Auto;
  bool echo = true;  // the interface hands back every byte sent (a K line does)
  bool dtr = true;   // most K-line cables take their supply or level shifter from DTR
  bool rts = false;
  // Delivery allowance in ms added to every wait (line_timing.h); negative: the adapter's
  // latency timer as found in sysfs, or none for a port without one.
  double allowance = -1;
  std::string sysfs_root = "/sys";
  std::string dev_root = "/dev";
};

// "wakeup=byte,echo=off,dtr=on,rts=off,allowance=16,sysfs=/path"; nullopt with a reason when
// refused.
std::optional<PortSettings> parse_port_settings(std::string_view text, std::string &error);
const char *wakeup_name(Wakeup w);

class SerialPort {
 public:
  // Opens and configures the device; null with an actionable text in 'error'.
  static std::unique_ptr<SerialPort> open(const std::string &device, const PortSettings &settings, std::string &error);
  ~SerialPort();
  SerialPort(const SerialPort &) = delete;
  SerialPort &operator=(const SerialPort &) = delete;

  const std::string &device() const { return device_; }
  const std::string &resolved() const { return resolved_; }
  const std::string &driver() const { return driver_; }
  bool pseudo_terminal() const { return pty_; }
  // What opening found out (driver, chip, modem lines, latency), one line each, for the trace.
  const std::string &open_notes() const { return notes_; }
  // A warning the user should see (latency timer that could not be lowered), or empty.
  const std::string &warning() const { return warning_; }
  // How much later than the wire a byte may reach this process through the adapter, in ms:
  // the latency timer in force, or the port option's allowance.
  double delivery_allowance() const { return delivery_ms_; }

  // Sets the rate; 'actual' is what the port makes of it (read back, and for chips whose
  // driver does not report its rounding, what the chip really produces).
  bool set_rate(double baud, double &actual, std::string &how, std::string &error);
  bool set_break(bool on);
  // True when the port's break reaches the wire as a timed low level.
  bool break_reaches_wire() const;

  enum class Read { Data, Timeout, Lost };
  // Waits at most timeout_ms for input and reads what is there into buf.
  Read read(std::uint8_t *buf, std::size_t cap, std::size_t &got, double timeout_ms, std::string &error);
  bool write(const std::uint8_t *bytes, std::size_t count, std::string &error);
  // Waits until everything written has left the port's queue, then rest_ms for what is left
  // of the last byte on the wire; the queue is waited for at most limit_ms.
  void drain(double rest_ms, double limit_ms);
  // Drops whatever input is waiting; returns how many bytes.
  std::size_t discard_input();

 private:
  SerialPort() = default;
  int fd_ = -1;
  std::string device_, resolved_, driver_, chip_product_;
  bool pty_ = false;
  bool fake_break_ = false;
  int restore_slot_ = -1;  // where the settings to put back are kept; -1 while not ours
  bool held_ = false;      // locked by this process: only then is anything put back on close
  PortState found_;
  double delivery_ms_ = 0;
  std::string notes_, warning_;
};

}  // namespace vci
