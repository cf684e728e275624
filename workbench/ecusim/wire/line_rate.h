// Line settings through the kernel's termios2 interface, the only one that carries any baud
// rate (10416, 360, 8192) rather than the fixed Bxxx list. Kept apart because <asm/termbits.h>
// cannot share a translation unit with <termios.h>.
#pragma once

#include <optional>

namespace ecusim::wire {

// The rate the line is set to, in baud. On a pty master this reads the slave's setting,
// i.e. what the tester chose. Nullopt when the descriptor is no terminal.
std::optional<double> read_line_rate(int fd);

// Changes only the rate (input and output alike), leaving the other settings.
bool set_line_rate(int fd, double baud);

// Raw 8N1 at 'baud', no flow control, no processing either way, reads return at once.
// With mark_errors a break or a byte with a framing error reads as FF 00 byte (and a
// data byte FF as FF FF), so that the wake-up low pulse can be told apart on a real line.
bool make_raw(int fd, double baud, bool mark_errors);

}  // namespace ecusim::wire
