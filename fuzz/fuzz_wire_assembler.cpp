// Fuzz target of the serial lines' frame assembly: arbitrary bytes with arbitrary gaps
// between them, after an echo that may or may not match (noise, split frames, wrong lengths
// and checksums), with further requests (and their echoes) in between. Checks what the line
// relies on: no frame longer than its protocol allows, every KWP2000 frame exactly as long
// as its own header says, every ALDL frame starting at the device identifier with a length
// that matches its length code, the checksum verdict right, the echo never handed on as a
// frame, and nothing left half-assembled once the line has been quiet long enough.
//
// Input: byte 0 bit 0 chooses the protocol (KWP2000, ALDL); byte 1 is how many of the
// following bytes were sent (the expected echo); then chunks of [gap in ms, count, bytes].
// A chunk whose gap byte is 0xFF is another request: its bytes are the next expected echo.
#include <cstdint>
#include <cstdlib>

#include "wire_assembler.h"

namespace {

constexpr std::uint8_t kAnotherRequest = 0xFF;

bool checksum_right(vci::WireProtocol protocol, const vci::WireBytes &f) {
  unsigned sum = 0;
  for (std::size_t i = 0; i + 1 < f.size(); ++i) sum += f[i];
  return protocol == vci::WireProtocol::Kwp ? (sum & 0xFFu) == f.back() : ((sum + f.back()) & 0xFFu) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size < 2) return 0;
  const auto protocol = (data[0] & 1) ? vci::WireProtocol::Aldl : vci::WireProtocol::Kwp;
  vci::WireAssembler as(protocol, 20.0);
  std::size_t at = 2;
  const std::size_t echo = std::min<std::size_t>(data[1], size - at);
  as.expect_echo(data + at, echo);
  at += echo;
  double t = 0;
  while (at + 2 <= size) {
    const std::size_t n = std::min<std::size_t>(data[at + 1], size - at - 2);
    if (data[at] == kAnotherRequest) {
      as.expect_echo(data + at + 2, n);
    } else {
      t += data[at] / 4.0;
      as.feed(data + at + 2, n, t);
    }
    at += 2 + n;
    while (auto f = as.next_frame()) {
      const std::size_t len = f->bytes.size();
      if (protocol == vci::WireProtocol::Kwp) {
        if (len > vci::kMaxKwpFrame || vci::kwp_frame_size(f->bytes.data(), len) != static_cast<int>(len)) abort();
      } else if (len > vci::kMaxAldlFrame || len < 4 || f->bytes[0] != 0xF4 ||
                 static_cast<std::size_t>(f->bytes[1] - 0x55 + 3) != len) {
        abort();
      }
      if (f->checksum_ok != checksum_right(protocol, f->bytes)) abort();
      if (f->end_ms < f->start_ms) abort();
    }
    as.take_notes();
  }
  as.idle(t + 21.0);
  if (as.receiving()) abort();
  return 0;
}
