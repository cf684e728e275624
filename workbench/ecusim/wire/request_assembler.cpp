// Byte -> frame assembly by the length rules of the two lines.
#include "request_assembler.h"

namespace ecusim::wire {

std::size_t kwp_request_length(const std::uint8_t *bytes, std::size_t available) {
  if (available < 1) return 0;
  const std::size_t header = (bytes[0] & 0xC0) != 0 ? 3 : 1;
  const std::size_t n = bytes[0] & 0x3F;
  if (n != 0) return header + n + 1;
  if (available <= header) return 0;
  return header + 1 + bytes[header] + 1;
}

std::optional<std::size_t> aldl_request_length(const std::uint8_t *bytes, std::size_t available) {
  if (available < 2) return 0;
  // At least the mode byte: a code of 0x55 or below describes no frame at all.
  if (bytes[1] <= 0x55) return std::nullopt;
  return static_cast<std::size_t>(bytes[1] - 0x55) + 3;
}

RequestAssembler::Step RequestAssembler::push(std::uint8_t byte, double t_ms) {
  Step step;
  if (!frame_.empty() && t_ms - last_ms_ > gap_ms_) {
    step.dropped = Dropped{Dropped::Why::Gap, frame_.size(), t_ms - last_ms_};
    frame_.clear();
  }
  if (frame_.empty()) first_ms_ = t_ms;
  frame_.push_back(byte);
  last_ms_ = t_ms;

  std::size_t length = 0;
  if (framing_ == Framing::Kwp) {
    length = kwp_request_length(frame_.data(), frame_.size());
  } else {
    const auto aldl = aldl_request_length(frame_.data(), frame_.size());
    if (!aldl) {
      step.dropped = Dropped{Dropped::Why::BadLengthCode, frame_.size(), 0, frame_[1]};
      frame_.clear();
      return step;
    }
    length = *aldl;
  }
  if (length != 0 && frame_.size() == length) {
    step.request = Assembled{std::move(frame_), first_ms_, last_ms_};
    frame_.clear();
  }
  return step;
}

std::optional<Dropped> RequestAssembler::expire(double now_ms) {
  if (frame_.empty() || now_ms < last_ms_ + gap_ms_) return std::nullopt;
  Dropped d{Dropped::Why::Gap, frame_.size(), now_ms - last_ms_};
  frame_.clear();
  return d;
}

std::optional<Dropped> RequestAssembler::abandon() {
  if (frame_.empty()) return std::nullopt;
  Dropped d{Dropped::Why::Abandoned, frame_.size(), 0};
  frame_.clear();
  return d;
}

std::optional<double> RequestAssembler::deadline() const {
  if (frame_.empty()) return std::nullopt;
  return last_ms_ + gap_ms_;
}

}  // namespace ecusim::wire
