// Checks of what the user named on the command line, made before a session starts so that a
// mistake is told at once instead of showing up as a session that hangs or ends silently.
#pragma once

#include <string>

namespace vazdiag {

// A file vazdiag reads must be there and be an ordinary file (or /dev/null, which reads as
// nothing): a directory fails late, a FIFO or a device would block or never end. "" when it
// is, else why.
std::string check_input_file(const std::string &what, const std::string &path);

// A file vazdiag reads (a script, a trace to decode) must be an ordinary file: a directory
// fails late, a FIFO or a device would block or never end. Fills text; "" when read, else why.
std::string read_input_file(const std::string &what, const std::string &path, std::string &text);

// A file vazdiag writes rows to (the live-data log) may be missing, but not a directory, a
// FIFO or a device. "" when usable, else why.
std::string check_output_file(const std::string &what, const std::string &path);

// The function-availability bits offer no entry of the chosen ECU's menu: the session would
// connect and end without showing anything. "" when some entry is offered, else why.
std::string check_functions(int functions, int ecuType);

}  // namespace vazdiag
