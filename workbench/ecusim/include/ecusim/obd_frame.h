// Generic OBD-II frames on the two buses the workbench simulates: ISO 9141-2 (K line,
// additive checksum) and SAE J1850 PWM (CRC-8). A frame is three header bytes (priority or
// format, target, source), the message bytes and one check byte.
#pragma once

#include "ecusim/kwp_frame.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace ecusim {

enum class ObdBus { Iso9141, J1850Pwm };

struct ObdBusFraming {
  ObdBus bus;
  std::string_view name;
  std::array<std::uint8_t, 3> request_header;  // tester to the functional address 6A
  std::array<std::uint8_t, 3> answer_header;   // engine ECU 10 back to the tester
};

inline constexpr std::array<ObdBusFraming, 2> kObdBuses{{
    {ObdBus::Iso9141, "ISO 9141-2", {0x68, 0x6A, 0xF1}, {0x48, 0x6B, 0x10}},
    {ObdBus::J1850Pwm, "J1850 PWM", {0x61, 0x6A, 0xF1}, {0x41, 0x6B, 0x10}},
}};

const ObdBusFraming &obd_framing(ObdBus bus);

// SAE J1850 CRC-8: polynomial 0x1D, initial value 0xFF, result inverted.
std::uint8_t j1850_crc(const std::uint8_t *bytes, std::size_t count);

// The check byte of a bus over the bytes before it.
std::uint8_t obd_check(ObdBus bus, const std::uint8_t *bytes, std::size_t count);

// Longest frame on either bus: header, seven message bytes, check byte.
inline constexpr std::size_t kObdMaxFrame = 11;

struct ObdRequest {
  std::uint8_t mode = 0;
  Bytes data;  // the bytes between the mode and the check byte (the PID first)
};

// Splits a complete request (header .. check byte); nullopt when the header is not the
// tester's functional request of this bus, the length is out of 5..11 or the check fails.
std::optional<ObdRequest> parse_obd_request(ObdBus bus, const Bytes &frame);

// Builds an answer frame: answer header, message bytes, check byte.
Bytes build_obd_answer(ObdBus bus, const Bytes &message);

}  // namespace ecusim
