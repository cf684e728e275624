// Opening, configuring and using one serial device.
#include "serial_port.h"

#include "line_timing.h"
#include "port_restore.h"
#include "serial_chips.h"
#include "serial_sysfs.h"
#include "serial_termios.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "workbench/printable.h"

namespace vci {
namespace {

std::string errno_text(int err) { return std::strerror(err); }

double monotonic_ms() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Pseudo-terminal slaves (Unix98 ptys) have majors 136..143: no break, no modem lines.
bool is_pty(int fd) {
  struct stat st {};
  if (fstat(fd, &st) != 0) return false;
  const unsigned major = (static_cast<unsigned>(st.st_rdev) >> 8) & 0xFFFu;
  return S_ISCHR(st.st_mode) && major >= 136 && major <= 143;
}

bool on_off(std::string_view v, bool &out) {
  if (v == "on" || v == "1" || v == "yes") return out = true, true;
  if (v == "off" || v == "0" || v == "no") return out = false, true;
  return false;
}

}  // namespace

const char *wakeup_name(Wakeup w) {
  switch (w) {
    case Wakeup::Break: return "break";
    case Wakeup::Byte: return "byte";
    case Wakeup::Auto: break;
  }
  return "auto";
}

std::optional<PortSettings> parse_port_settings(std::string_view text, std::string &error) {
  PortSettings s;
  while (!text.empty()) {
    const std::size_t comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
    if (item.empty()) continue;
    const std::size_t eq = item.find('=');
    const std::string_view key = item.substr(0, eq);
    const std::string_view value = eq == std::string_view::npos ? std::string_view{} : item.substr(eq + 1);
    bool ok = eq != std::string_view::npos;
    if (!ok) {
    } else if (key == "wakeup") {
      ok = value == "auto" || value == "break" || value == "byte";
      s.wakeup = value == "break" ? Wakeup::Break : value == "byte" ? Wakeup::Byte : Wakeup::Auto;
    } else if (key == "echo") {
      ok = on_off(value, s.echo);
    } else if (key == "dtr") {
      ok = on_off(value, s.dtr);
    } else if (key == "rts") {
      ok = on_off(value, s.rts);
    } else if (key == "allowance") {
      char *end = nullptr;
      const std::string v(value);
      s.allowance = std::strtod(v.c_str(), &end);
      ok = !v.empty() && end && *end == '\0' && s.allowance >= 0 && s.allowance <= 1000;
    } else if (key == "sysfs") {
      ok = !value.empty();
      s.sysfs_root = value;
    } else if (key == "dev") {
      ok = !value.empty();
      s.dev_root = value;
    } else {
      error = "unknown port option '" + workbench::printable(key) +
              "' (known: wakeup, echo, dtr, rts, allowance, sysfs, dev)";
      return std::nullopt;
    }
    if (!ok) {
      error = "port option '" + workbench::printable(item) +
              "': wakeup=auto|break|byte, echo|dtr|rts=on|off, allowance=MS (0..1000), sysfs=DIR, dev=DIR";
      return std::nullopt;
    }
  }
  return s;
}

std::unique_ptr<SerialPort> SerialPort::open(const std::string &device, const PortSettings &settings,
                                             std::string &error) {
  std::unique_ptr<SerialPort> p(new SerialPort());
  p->device_ = device;
  // Non-blocking: a modem-control wait for carrier must never hang the open.
  p->fd_ = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (p->fd_ < 0) {
    error = open_error_text(device, errno, settings.sysfs_root, settings.dev_root);
    return nullptr;
  }
  if (!isatty(p->fd_)) {
    error = open_error_text(device, ENOTTY, settings.sysfs_root, settings.dev_root);
    return nullptr;
  }
  // flock holds against every other user (root included); TIOCEXCL also keeps programs
  // that do not lock (terminal programs, ModemManager) from opening it meanwhile.
  if (flock(p->fd_, LOCK_EX | LOCK_NB) != 0) {
    error = open_error_text(device, EBUSY, settings.sysfs_root, settings.dev_root);
    return nullptr;
  }
  // Ours from here on: what is changed now is put back on close (and on a fatal signal).
  p->held_ = true;
  p->found_ = save_port_state(p->fd_);
  p->restore_slot_ = remember_port(p->fd_, p->found_);
  ioctl(p->fd_, TIOCEXCL);
  if (!termios_make_raw(p->fd_)) {
    error = device + ": cannot set the line to raw 8N1: " + errno_text(errno);
    return nullptr;
  }
  p->pty_ = is_pty(p->fd_);
  p->discard_input();  // whatever waited in the driver belongs to an earlier session

  const PortInfo info = describe_port(device, settings.sysfs_root);
  p->resolved_ = info.resolved;
  p->driver_ = info.driver;
  p->chip_product_ = info.product;
  p->fake_break_ = info.chip && info.chip->break_kind != BreakKind::Real;
  std::string &n = p->notes_;
  if (p->pty_) n += "; pseudo-terminal (no break, no modem lines)";
  if (!info.driver.empty()) n += "; driver " + info.driver;
  if (info.chip) n += " (" + std::string(info.chip->family) + ")";
  if (!info.product.empty()) n += ", product \"" + info.product + "\"";

  // DTR and RTS as the cable wants them; a pty has neither, which is no fault.
  int lines = 0;
  if (ioctl(p->fd_, TIOCMGET, &lines) == 0) {
    lines = settings.dtr ? (lines | TIOCM_DTR) : (lines & ~TIOCM_DTR);
    lines = settings.rts ? (lines | TIOCM_RTS) : (lines & ~TIOCM_RTS);
    const bool set = ioctl(p->fd_, TIOCMSET, &lines) == 0;
    n += std::string("; DTR ") + (settings.dtr ? "on" : "off") + ", RTS " + (settings.rts ? "on" : "off") +
         (set ? "" : " (refused: " + errno_text(errno) + ")");
  } else if (!p->pty_) {
    n += "; no modem lines";
  }

  const LatencyOutcome latency = set_low_latency(info, p->fd_);
  if (latency.method != LatencyMethod::NotPresent && !latency.trace.empty()) n += "; " + latency.trace;
  p->warning_ = latency.warning;
  if (settings.allowance >= 0)
    p->delivery_ms_ = settings.allowance;
  else if (latency.method != LatencyMethod::NotPresent)
    p->delivery_ms_ = latency.after_ms >= 0 ? latency.after_ms : kUnknownLatency;
  return p;
}

SerialPort::~SerialPort() {
  if (fd_ < 0) return;
  // A port refused to this process (busy) is somebody else's: nothing is touched on it.
  if (held_) {
    if (restore_slot_ >= 0) {
      restore_and_forget_port(restore_slot_);
    } else {
      restore_port_state(fd_, found_);
      ioctl(fd_, TIOCCBRK);
      ioctl(fd_, TIOCNXCL);
    }
  }
  ::close(fd_);
}

bool SerialPort::set_rate(double baud, double &actual, std::string &how, std::string &error) {
  const char *method = "";
  if (!termios_set_rate(fd_, baud, actual, method)) {
    error = "the port refused the rate: " + errno_text(errno);
    return false;
  }
  how = method;
  // Some chips round to a fixed table and report the rate asked for: trust the table.
  const SerialChip *chip = find_chip(driver_, chip_product_);
  if (chip && chip->fixed_rate_table) {
    const double produced = produced_rate(chip, baud);
    if (std::fabs(produced - actual) > 0.5) {
      actual = produced;
      how += ", chip table of " + std::string(chip->family);
    }
  }
  return true;
}

bool SerialPort::set_break(bool on) { return ioctl(fd_, on ? TIOCSBRK : TIOCCBRK) == 0; }

bool SerialPort::break_reaches_wire() const { return !pty_ && !fake_break_; }

SerialPort::Read SerialPort::read(std::uint8_t *buf, std::size_t cap, std::size_t &got, double timeout_ms,
                                  std::string &error) {
  got = 0;
  pollfd p{fd_, POLLIN, 0};
  const double end = monotonic_ms() + std::max(0.0, timeout_ms);
  int r;
  // A signal cuts the wait short: it goes on for what is left of it, not from the start.
  do {
    const double ms = std::max(0.0, end - monotonic_ms());
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(std::fmod(ms, 1000.0) * 1e6)};
    r = ppoll(&p, 1, &ts, nullptr);
  } while (r < 0 && errno == EINTR);
  if (r < 0) {
    error = "poll: " + errno_text(errno);
    return Read::Lost;
  }
  if (r == 0) return Read::Timeout;
  const ssize_t n = ::read(fd_, buf, cap);
  if (n > 0) {
    got = static_cast<std::size_t>(n);
    return Read::Data;
  }
  if (n < 0 && (errno == EAGAIN || errno == EINTR)) return Read::Timeout;
  // Readable but nothing to read is the end of the device (a USB adapter unplugged, the
  // other side of a pseudo-terminal closed); EIO and ENXIO say the same.
  error = n == 0 ? "end of file" : errno_text(errno);
  if (p.revents & (POLLHUP | POLLERR) && n == 0) error = "hang-up";
  return Read::Lost;
}

bool SerialPort::write(const std::uint8_t *bytes, std::size_t count, std::string &error) {
  while (count > 0) {
    const ssize_t n = ::write(fd_, bytes, count);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
      pollfd p{fd_, POLLOUT, 0};
      if (poll(&p, 1, 100) <= 0 || (p.revents & (POLLHUP | POLLERR))) {
        error = "cannot write to the port";
        return false;
      }
      continue;
    }
    if (n <= 0) {
      error = errno_text(errno);
      return false;
    }
    bytes += n;
    count -= static_cast<std::size_t>(n);
  }
  return true;
}

void SerialPort::drain(double rest_ms, double limit_ms) {
  // tcdrain would wait without end for a port that cannot send (flow control, a wedged
  // adapter) while the line's lock is held: the output queue is watched instead.
  const double end = monotonic_ms() + limit_ms;
  int queued = 0;
  while (ioctl(fd_, TIOCOUTQ, &queued) == 0 && queued > 0 && monotonic_ms() < end) {
    const timespec step{0, 1000000};
    nanosleep(&step, nullptr);
  }
  const double ms = std::max(0.0, rest_ms);
  const timespec last{static_cast<time_t>(ms / 1000), static_cast<long>(std::fmod(ms, 1000.0) * 1e6)};
  nanosleep(&last, nullptr);
}

std::size_t SerialPort::discard_input() {
  std::size_t total = 0;
  std::uint8_t buf[256];
  while (true) {
    const ssize_t n = ::read(fd_, buf, sizeof buf);
    if (n <= 0) break;
    total += static_cast<std::size_t>(n);
  }
  return total;
}

}  // namespace vci
