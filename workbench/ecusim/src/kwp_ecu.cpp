// Wake-up, dispatch and the common services of a K-line ECU.
#include "ecusim/kwp_ecu.h"

#include "ecusim/bosch_options.h"

namespace ecusim {

KwpEcu::KwpEcu(const Profile &profile) : profile_(profile) {
  on(0x81, [this](const Bytes &, double) -> std::optional<Bytes> {
    return Bytes{0xC1, profile_.key_bytes[0], profile_.key_bytes[1]};
  });
  on(0x82, [this](const Bytes &, double) -> std::optional<Bytes> {
    fall_asleep();  // the answer still goes out; afterwards only a fast init wakes it
    return Bytes{0xC2};
  });
  on(0x3E, [](const Bytes &, double) -> std::optional<Bytes> { return Bytes{0x7E}; });
  on(0x20, [](const Bytes &, double) -> std::optional<Bytes> { return Bytes{0x60}; });
}

void KwpEcu::on(std::uint8_t sid, Handler handler) { handlers_[sid] = std::move(handler); }

Bytes KwpEcu::negative(std::uint8_t sid, std::uint8_t nrc) { return Bytes{0x7F, sid, nrc}; }

bool KwpEcu::long_form_answer(std::uint8_t sid) const {
  if (sid == 0x21) return !short_header_;
  if (sid == 0x1A) return !short_header_ && !short_identification_header_;
  return false;
}

void KwpEcu::hear_wakeup_pattern() {
  if (state_ == State::Asleep) state_ = State::Waking;
}

void KwpEcu::fall_asleep() {
  const bool was_awake = state_ == State::Awake;
  state_ = State::Asleep;
  if (was_awake) communication_ended();
}

void KwpEcu::hear_noise() {
  if (state_ == State::Waking) state_ = State::Asleep;
}

std::optional<Bytes> KwpEcu::hear(const Request &request, double now_ms, const Bytes *forced) {
  Bytes frame;
  if (!hear(request, now_ms, frame, forced)) return std::nullopt;
  return frame;
}

bool KwpEcu::hear(const Request &request, double now_ms, Bytes &frame, const Bytes *forced) {
  if (request.service.empty()) return false;
  const std::uint8_t sid = request.service[0];
  const bool for_me = request.target == profile_.address;
  if (state_ == State::Waking) {
    // Only StartCommunication to this ECU right after the pattern completes the wake-up.
    if (!for_me || sid != 0x81) {
      state_ = State::Asleep;
      return false;
    }
    state_ = State::Awake;
  }
  if (!for_me || state_ != State::Awake) return false;
  last_heard_ms_ = now_ms;

  std::optional<Bytes> answer;
  auto it = handlers_.find(sid);
  const auto refusal = refusals_.find(sid);
  if (forced)
    answer = *forced;
  else if (refusal != refusals_.end())
    answer = negative(sid, refusal->second);  // heard, not carried out
  else if (it == handlers_.end())
    answer = negative(sid, kServiceNotSupported);
  else
    answer = it->second(request.service, now_ms);
  if (!answer) return false;
  const bool long_form = long_form_answer(sid) && (*answer)[0] != 0x7F;
  build_frame(request.source, profile_.address, *answer, long_form ? HeaderForm::Long : HeaderForm::Short, frame);
  spare_ = std::move(*answer);
  return true;
}

bool KwpEcu::set_option(std::string_view key, std::string_view value, std::string &error) {
  if (key == "header") {
    // "short-id": identification answers short, data blocks long, as some ECUs mix them.
    if (value == "long" || value == "short" || value == "short-id") {
      short_header_ = value == "short";
      short_identification_header_ = value == "short-id";
      return true;
    }
    error = "header: \"long\", \"short\" or \"short-id\"";
    return false;
  }
  if (key == "refuse") {
    auto refusals = parse_refusals(value, error);
    if (!refusals) return false;
    refusals_ = std::move(*refusals);
    return true;
  }
  error = "unknown option \"" + std::string(key.substr(0, 40)) + "\"";
  return false;
}

}  // namespace ecusim
