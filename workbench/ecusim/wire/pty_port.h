// The ECU's end of the serial line: the master side of a pseudo-terminal (the tester opens
// the slave) or a real serial device. Reads the bytes the tester sends with the rate the
// line is set to, and writes the ECU's bytes.
#pragma once

#include "unique_fd.h"

#include <cstdint>
#include <optional>
#include <string>

namespace ecusim::wire {

struct LineByte {
  std::uint8_t value = 0;
  bool framing_error = false;  // a break or a byte with a framing error (real devices only)
};

class WirePort {
 public:
  // A pty whose slave is raw 8N1 at 'baud' until the tester sets it up. One slave
  // descriptor stays open (never read) so the master sees no hang-up between sessions.
  static std::optional<WirePort> open_pty(double baud, std::string &error);
  // A serial device, raw 8N1 at 'baud', breaks and framing errors marked.
  static std::optional<WirePort> open_device(const std::string &path, double baud, std::string &error);

  int fd() const { return fd_.get(); }
  bool is_pty() const { return static_cast<bool>(slave_); }
  // The slave's path, or the device's.
  const std::string &path() const { return path_; }

  // The next received byte; nullopt when none is waiting or the line failed (see failed()).
  std::optional<LineByte> read_byte();
  // The line's rate now: on a pty what the tester set on the slave, on a device our own.
  double rate() const;
  // False when the byte could not be written (the tester's side does not take more).
  bool write_byte(std::uint8_t byte);
  bool failed() const { return failed_; }

 private:
  WirePort(UniqueFd fd, UniqueFd slave, std::string path, double baud, bool marks);

  enum class Mark { None, Escape, ErrorByte };  // where in an FF 00 x / FF FF sequence

  UniqueFd fd_;
  UniqueFd slave_;
  std::string path_;
  double nominal_baud_;
  bool marks_;
  Mark mark_ = Mark::None;
  bool failed_ = false;
};

}  // namespace ecusim::wire
