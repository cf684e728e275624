// termios2 and custom-divisor rate setting.
#include "serial_termios.h"

#include <asm/termbits.h>
#include <linux/serial.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cmath>
#include <cstring>

namespace vci {
namespace {

// Standard rates as the classic Bxxx codes encode them.
struct Standard {
  unsigned code;
  unsigned rate;
};
constexpr Standard kStandard[] = {
    {B300, 300},   {B600, 600},     {B1200, 1200},   {B1800, 1800},   {B2400, 2400},     {B4800, 4800},
    {B9600, 9600}, {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200}, {B230400, 230400},
};

double read_rate(const struct termios2 &t) {
  const unsigned code = t.c_cflag & CBAUD;
  if (code == BOTHER) return t.c_ospeed;
  for (const Standard &s : kStandard)
    if (s.code == code) return s.rate;
  return 0;
}

}  // namespace

PortState save_port_state(int fd) {
  static_assert(sizeof(termios2) <= sizeof(PortState::termios));
  static_assert(sizeof(serial_struct) <= sizeof(PortState::serial));
  PortState s;
  termios2 t{};
  if (ioctl(fd, TCGETS2, &t) == 0) {
    std::memcpy(s.termios, &t, sizeof t);
    s.have_termios = true;
  }
  s.have_lines = ioctl(fd, TIOCMGET, &s.lines) == 0;
  serial_struct ss{};
  if (ioctl(fd, TIOCGSERIAL, &ss) == 0) {
    std::memcpy(s.serial, &ss, sizeof ss);
    s.have_serial = true;
  }
  return s;
}

void restore_port_state(int fd, const PortState &s) {
  if (s.have_serial) {
    serial_struct ss{};
    std::memcpy(&ss, s.serial, sizeof ss);
    ioctl(fd, TIOCSSERIAL, &ss);
  }
  if (s.have_termios) {
    termios2 t{};
    std::memcpy(&t, s.termios, sizeof t);
    ioctl(fd, TCSETS2, &t);
  }
  if (s.have_lines) {
    int lines = s.lines;
    ioctl(fd, TIOCMSET, &lines);
  }
}

bool termios_make_raw(int fd) {
  struct termios2 t {};
  if (ioctl(fd, TCGETS2, &t) != 0) return false;
  t.c_iflag = IGNBRK;
  t.c_oflag = 0;
  t.c_lflag = 0;
  t.c_cflag = (t.c_cflag & CBAUD) | CS8 | CREAD | CLOCAL;
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  return ioctl(fd, TCSETS2, &t) == 0;
}

bool termios_set_rate(int fd, double baud, double &actual, const char *&method) {
  struct termios2 t {};
  if (ioctl(fd, TCGETS2, &t) != 0) return false;
  const unsigned want = static_cast<unsigned>(std::lround(baud));
  t.c_cflag = (t.c_cflag & ~CBAUD) | BOTHER;
  t.c_ispeed = t.c_ospeed = want;
  if (ioctl(fd, TCSETS2, &t) == 0) {
    struct termios2 back {};
    if (ioctl(fd, TCGETS2, &back) == 0) {
      actual = read_rate(back);
      method = "termios2";
      if (actual > 0) return true;
    }
  }
  // Older drivers: 38400 stands for baud_base / custom_divisor.
  struct serial_struct ss {};
  if (ioctl(fd, TIOCGSERIAL, &ss) != 0 || ss.baud_base <= 0) return false;
  const int divisor = static_cast<int>(std::lround(ss.baud_base / baud));
  if (divisor <= 0) {
    errno = EINVAL;
    return false;
  }
  ss.flags = (ss.flags & ~ASYNC_SPD_MASK) | ASYNC_SPD_CUST;
  ss.custom_divisor = divisor;
  if (ioctl(fd, TIOCSSERIAL, &ss) != 0) return false;
  if (ioctl(fd, TCGETS2, &t) != 0) return false;
  t.c_cflag = (t.c_cflag & ~CBAUD) | B38400;
  if (ioctl(fd, TCSETS2, &t) != 0) return false;
  actual = static_cast<double>(ss.baud_base) / divisor;
  method = "custom divisor";
  return true;
}

double termios_rate(int fd) {
  struct termios2 t {};
  if (ioctl(fd, TCGETS2, &t) != 0) return 0;
  return read_rate(t);
}

}  // namespace vci
