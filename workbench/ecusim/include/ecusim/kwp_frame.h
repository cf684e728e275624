// KWP2000 (ISO 14230) frame helpers shared by the ECU models and the simulated line:
// checksums, request parsing and answer framing in short or long header form.
#pragma once

#include "frames/kwp_frame.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace ecusim {

using Bytes = std::vector<std::uint8_t>;

using frames::kwp::HeaderForm;
using frames::kwp::kTesterAddress;
// Sum of the bytes modulo 256.
using frames::kwp::checksum;

// Number of bytes of the frame starting at its format byte, checksum included, or 0 when the
// format byte carries no address information. A long-form frame (length bits 0) takes its
// length from the byte after the source address, so 'available' must cover that byte.
std::size_t frame_length(const std::uint8_t *frame, std::size_t available);

struct Request {
  std::uint8_t target = 0;
  std::uint8_t source = 0;
  Bytes service;  // service identifier and parameters
};

// Splits a complete frame (format byte .. checksum); nullopt when the checksum or the
// length does not fit.
std::optional<Request> parse_frame(const Bytes &frame);
// The same into `out`, whose room is reused (a line that parses every request); false as nullopt.
bool parse_frame(const Bytes &frame, Request &out);

// Builds an answer frame from an ECU to the tester. A short header is used only when asked
// for and the service bytes fit its six length bits; otherwise the long form 80 tgt src len.
Bytes build_frame(std::uint8_t target, std::uint8_t source, const Bytes &service, HeaderForm form);
// The same into `out`, whose room is reused.
void build_frame(std::uint8_t target, std::uint8_t source, const Bytes &service, HeaderForm form, Bytes &out);

}  // namespace ecusim
