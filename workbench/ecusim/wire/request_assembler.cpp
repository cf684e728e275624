// Byte -> frame assembly by the length rules of the two lines.
#include "request_assembler.h"

#include "frames/aldl_frame.h"

namespace ecusim::wire {

std::size_t kwp_request_length(const std::uint8_t *bytes, std::size_t available) {
  const frames::kwp::Header h = frames::kwp::header(bytes, available);
  return h.complete ? h.frame_size() : 0;
}

std::optional<std::size_t> aldl_request_length(const std::uint8_t *bytes, std::size_t available) {
  // At least the mode byte: a code of 0x55 or below describes no frame at all.
  const int size = frames::aldl::frame_size(bytes, available);
  if (size < 0) return std::nullopt;
  return static_cast<std::size_t>(size);
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
