// Every serial port this process opened is put back as it was found (termios, modem lines,
// no break held, the exclusive flag cleared) when it is closed, and also when the process
// is ended by SIGINT, SIGTERM or SIGHUP, in whatever mode the host runs. The signal handler
// then hands the signal on to whatever was installed before it (or the default action).
#pragma once

#include "serial_termios.h"

namespace vci {

// Registers an opened, exclusively held port; returns a slot for forget_port (-1 when
// every slot is taken: then only a normal close puts the port back).
int remember_port(int fd, const PortState &state);
// Puts the port back and forgets it.
void restore_and_forget_port(int slot);

}  // namespace vci
