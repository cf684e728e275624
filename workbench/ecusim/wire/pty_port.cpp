// Opening the pty or the device, reading bytes with their error marks, writing bytes.
#include "pty_port.h"

#include "line_rate.h"

#include <fcntl.h>
#include <termios.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace ecusim::wire {
namespace {

std::string os_error(const std::string &what) { return what + ": " + std::strerror(errno); }

bool set_nonblocking(int fd) {
  const int flags = fcntl(fd, F_GETFL);
  return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

}  // namespace

WirePort::WirePort(UniqueFd fd, UniqueFd slave, std::string path, double baud, bool marks)
    : fd_(std::move(fd)), slave_(std::move(slave)), path_(std::move(path)), nominal_baud_(baud), marks_(marks) {}

std::optional<WirePort> WirePort::open_pty(double baud, std::string &error) {
  UniqueFd master(posix_openpt(O_RDWR | O_NOCTTY));
  if (!master) {
    error = os_error("cannot open a pseudo-terminal");
    return std::nullopt;
  }
  std::array<char, 128> name{};
  if (grantpt(master.get()) != 0 || unlockpt(master.get()) != 0 ||
      ptsname_r(master.get(), name.data(), name.size()) != 0) {
    error = os_error("cannot unlock the pseudo-terminal");
    return std::nullopt;
  }
  UniqueFd slave(::open(name.data(), O_RDWR | O_NOCTTY));
  if (!slave) {
    error = os_error(std::string("cannot open ") + name.data());
    return std::nullopt;
  }
  // Raw before anyone opens it: nothing the tester sends early is cooked or echoed by the tty.
  if (!make_raw(slave.get(), baud, false) || !set_nonblocking(master.get())) {
    error = os_error(std::string("cannot set up ") + name.data());
    return std::nullopt;
  }
  return WirePort(std::move(master), std::move(slave), name.data(), baud, false);
}

std::optional<WirePort> WirePort::open_device(const std::string &path, double baud, std::string &error) {
  UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK));
  if (!fd) {
    error = os_error("cannot open " + path);
    return std::nullopt;
  }
  if (!make_raw(fd.get(), baud, true)) {
    error = os_error("cannot set " + path + " to raw 8N1");
    return std::nullopt;
  }
  tcflush(fd.get(), TCIOFLUSH);  // whatever the device held from before is no request
  return WirePort(std::move(fd), UniqueFd(), path, baud, true);
}

std::optional<LineByte> WirePort::read_byte() {
  while (true) {
    std::uint8_t b = 0;
    const ssize_t n = ::read(fd_.get(), &b, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return std::nullopt;
    if (n != 1) {
      failed_ = true;
      return std::nullopt;
    }
    if (!marks_) return LineByte{b, false};
    // With PARMRK the tty marks a break or framing error as FF 00 x and doubles a data FF.
    switch (mark_) {
      case Mark::None:
        if (b != 0xFF) return LineByte{b, false};
        mark_ = Mark::Escape;
        break;
      case Mark::Escape:
        if (b == 0x00) {
          mark_ = Mark::ErrorByte;
          break;
        }
        mark_ = Mark::None;
        return LineByte{b, false};
      case Mark::ErrorByte: mark_ = Mark::None; return LineByte{b, true};
    }
  }
}

double WirePort::rate() const {
  if (!is_pty()) return nominal_baud_;
  return read_line_rate(fd_.get()).value_or(nominal_baud_);
}

bool WirePort::write_byte(std::uint8_t byte) {
  while (true) {
    const ssize_t n = ::write(fd_.get(), &byte, 1);
    if (n == 1) return true;
    if (n < 0 && errno == EINTR) continue;
    return false;
  }
}

}  // namespace ecusim::wire
