// Line settings of a serial port through the kernel's termios2 interface, which takes any
// baud rate (BOTHER) where the classic termios only knows the standard ones. Kept apart
// because <asm/termbits.h> and <termios.h> cannot be included in one file.
#pragma once

#include <cstddef>

namespace vci {

// A port's settings as found on opening, to be put back when it is closed: the termios2
// record, the modem lines and the serial driver's flags and divisor. Plain bytes, so that
// a signal handler may hold and use it.
struct PortState {
  alignas(8) unsigned char termios[64];
  alignas(8) unsigned char serial[128];
  int lines = 0;
  bool have_termios = false;
  bool have_lines = false;
  bool have_serial = false;
};

// Reads what is there to put back later.
PortState save_port_state(int fd);
// Puts it back; async-signal-safe (ioctl only).
void restore_port_state(int fd, const PortState &state);

// Raw 8N1: no flow control, no echo, no line editing, breaks ignored (the tester's own
// wake-up break comes back on a K line), reads return at once. False with errno set.
bool termios_make_raw(int fd);

// Sets the rate (input and output) and reads back what the driver made of it. Tries
// termios2 with BOTHER first, then the older custom divisor (38400 baud remapped through
// the serial driver's divisor). False with errno set when neither is accepted.
bool termios_set_rate(int fd, double baud, double &actual, const char *&method);

// The rate the port reads now (0 when unknown).
double termios_rate(int fd);

}  // namespace vci
