// Line settings of a serial port through the kernel's termios2 interface, which takes any
// baud rate (BOTHER) where the classic termios only knows the standard ones. Kept apart
// because <asm/termbits.h> and <termios.h> cannot be included in one file.
#pragma once

namespace vci {

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
