// termios2 access: reading and setting arbitrary baud rates, raw mode.
#include "line_rate.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <array>
#include <cmath>
#include <utility>

namespace ecusim::wire {
namespace {

// The fixed rates a terminal may report instead of BOTHER.
constexpr std::array<std::pair<unsigned, double>, 19> kFixedRates{{
    {B50, 50},       {B75, 75},         {B110, 110},       {B134, 134},       {B150, 150},
    {B200, 200},     {B300, 300},       {B600, 600},       {B1200, 1200},     {B1800, 1800},
    {B2400, 2400},   {B4800, 4800},     {B9600, 9600},     {B19200, 19200},   {B38400, 38400},
    {B57600, 57600}, {B115200, 115200}, {B230400, 230400}, {B460800, 460800},
}};

void put_rate(termios2 &t, double baud) {
  const auto speed = static_cast<speed_t>(std::lround(baud));
  t.c_cflag = (t.c_cflag & ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT))) | BOTHER | (BOTHER << IBSHIFT);
  t.c_ispeed = speed;
  t.c_ospeed = speed;
}

}  // namespace

std::optional<double> read_line_rate(int fd) {
  termios2 t{};
  if (ioctl(fd, TCGETS2, &t) != 0) return std::nullopt;
  const unsigned code = t.c_cflag & CBAUD;
  if (code == BOTHER) return static_cast<double>(t.c_ospeed);
  for (const auto &[c, baud] : kFixedRates)
    if (c == code) return baud;
  return static_cast<double>(t.c_ospeed);  // newer kernels fill it in for every code
}

bool set_line_rate(int fd, double baud) {
  termios2 t{};
  if (ioctl(fd, TCGETS2, &t) != 0) return false;
  put_rate(t, baud);
  return ioctl(fd, TCSETS2, &t) == 0;
}

bool make_raw(int fd, double baud, bool mark_errors) {
  termios2 t{};
  if (ioctl(fd, TCGETS2, &t) != 0) return false;
  t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY |
                                      INPCK | IGNPAR);
  if (mark_errors) t.c_iflag |= PARMRK | INPCK;
  t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
  t.c_cflag |= CS8 | CREAD | CLOCAL;
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  put_rate(t, baud);
  return ioctl(fd, TCSETS2, &t) == 0;
}

}  // namespace ecusim::wire
