// The generic OBD-II responder: a table of the PIDs it serves, each with the encoder of its
// data bytes; the "supported PIDs" answer of a mode is derived from the same table.
#include "ecusim/obd_ecu.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace ecusim {
namespace {

struct Context {
  const EngineState &engine;
  std::string_view vin;
};

// The data bytes of each answer frame, after the echoed mode + 0x40 and PID.
using Payloads = std::vector<Bytes>;

std::uint8_t clamp_byte(double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

Payloads coolant(const Context &c) { return {{clamp_byte(c.engine.coolant_c + 40.0)}}; }

Payloads engine_speed(const Context &c) {
  const long quarters = std::clamp(std::lround(c.engine.rpm * 4.0), 0L, 0xFFFFL);
  return {{static_cast<std::uint8_t>(quarters >> 8), static_cast<std::uint8_t>(quarters & 0xFF)}};
}

Payloads vehicle_speed(const Context &c) { return {{clamp_byte(c.engine.speed_kmh)}}; }

// The 17 characters after three filler bytes, four to a frame, each frame led by its
// sequence number 1..5.
Payloads vin(const Context &c) {
  Bytes chars(3, 0);
  chars.insert(chars.end(), c.vin.begin(), c.vin.end());
  Payloads frames;
  for (std::size_t i = 0; i < chars.size(); i += 4) {
    Bytes f{static_cast<std::uint8_t>(i / 4 + 1)};
    f.insert(f.end(), chars.begin() + static_cast<std::ptrdiff_t>(i),
             chars.begin() + static_cast<std::ptrdiff_t>(i + 4));
    frames.push_back(std::move(f));
  }
  return frames;
}

struct Pid {
  std::uint8_t mode;
  std::uint8_t pid;
  Payloads (*encode)(const Context &);
};

constexpr std::array<Pid, 4> kPids{{
    {0x01, 0x05, coolant},
    {0x01, 0x0C, engine_speed},
    {0x01, 0x0D, vehicle_speed},
    {0x09, 0x02, vin},
}};

constexpr std::uint8_t kSupportedPids = 0x00;
constexpr std::uint8_t kPositiveOffset = 0x40;

// PID 00 of a mode: bit 7 of the first byte stands for PID 01, bit 0 of the last for 20.
Payloads supported(std::uint8_t mode) {
  Bytes bits(4, 0);
  for (const Pid &p : kPids)
    if (p.mode == mode && p.pid >= 1 && p.pid <= 0x20)
      bits[(p.pid - 1) / 8] |= static_cast<std::uint8_t>(0x80 >> ((p.pid - 1) % 8));
  return {bits};
}

bool mode_served(std::uint8_t mode) {
  return std::any_of(kPids.begin(), kPids.end(), [&](const Pid &p) { return p.mode == mode; });
}

}  // namespace

std::vector<Bytes> ObdEcu::hear(const Bytes &frame, double now_ms) const {
  const auto request = parse_obd_request(bus_, frame);
  if (!request || request->data.size() != 1 || !mode_served(request->mode)) return {};
  const std::uint8_t pid = request->data[0];
  Payloads payloads;
  if (pid == kSupportedPids) {
    payloads = supported(request->mode);
  } else {
    const auto it =
        std::find_if(kPids.begin(), kPids.end(), [&](const Pid &p) { return p.mode == request->mode && p.pid == pid; });
    if (it == kPids.end()) return {};  // an unsupported PID gets no answer, as on a real bus
    const EngineState engine = engine_state(engine_, (now_ms - power_on_ms_) / 1000.0);
    payloads = it->encode(Context{engine, vin_});
  }
  std::vector<Bytes> answers;
  for (const Bytes &data : payloads) {
    Bytes message;
    message.reserve(2 + data.size());
    message.push_back(static_cast<std::uint8_t>(request->mode + kPositiveOffset));
    message.push_back(pid);
    message.insert(message.end(), data.begin(), data.end());
    answers.push_back(build_obd_answer(bus_, message));
  }
  return answers;
}

Bytes ObdEcu::negative(std::uint8_t mode, std::uint8_t nrc) const { return build_obd_answer(bus_, {0x7F, mode, nrc}); }

bool ObdEcu::set_option(std::string_view key, std::string_view value, std::string &error) {
  if (key == "engine") {
    if (value == "running" || value == "idle-fixed") {
      engine_ = value == "running" ? EngineMode::Running : EngineMode::IdleFixed;
      return true;
    }
    error = "engine: \"running\" or \"idle-fixed\"";
    return false;
  }
  if (key == "vin") {
    const bool printable = std::all_of(value.begin(), value.end(), [](char ch) { return ch > ' ' && ch < 0x7F; });
    if (value.size() != 17 || !printable) {
      error = "vin: 17 printable characters";
      return false;
    }
    vin_ = value;
    return true;
  }
  error = "unknown option \"" + std::string(key.substr(0, 40)) + "\" (OBD cars take \"engine\" and \"vin\")";
  return false;
}

}  // namespace ecusim
