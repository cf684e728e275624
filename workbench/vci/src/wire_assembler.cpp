// Echo removal and frame assembly for the serial lines.
#include "wire_assembler.h"

#include <algorithm>
#include <cstdio>

#include "frames/aldl_frame.h"
#include "frames/kwp_frame.h"

namespace vci {

namespace kwp = frames::kwp;
namespace aldl = frames::aldl;

int kwp_frame_size(const std::uint8_t *bytes, std::size_t available) {
  if (available == 0) return 0;
  if (kwp::addressing(bytes[0]) == kwp::Addressing::Carb) return -1;  // not KWP2000
  const kwp::Header h = kwp::header(bytes, available);
  if (!h.complete) return 0;
  if (h.data == 0) return -1;  // a length byte of 0
  return static_cast<int>(h.frame_size());
}

WireAssembler::WireAssembler(WireProtocol protocol, double gap_limit_ms, std::uint8_t aldl_device)
    : protocol_(protocol), gap_limit_ms_(gap_limit_ms), aldl_device_(aldl_device) {}

void WireAssembler::reset() {
  echo_.clear();
  echo_mismatch_ = false;
  partial_.clear();
  skipped_ = 0;
  frames_.clear();
  tester_.reset();
}

void WireAssembler::expect_echo(const std::uint8_t *bytes, std::size_t count) {
  echo_.insert(echo_.end(), bytes, bytes + count);
}

void WireAssembler::feed(const std::uint8_t *bytes, std::size_t count, double t_ms) {
  // No gap check here: bytes are stamped when they are read, and a reader held up by the
  // system would see a gap the line never had. Only idle() (the line seen silent) cuts.
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t b = bytes[i];
    if (!echo_.empty()) {
      if (b != echo_.front()) {
        char s[80];
        std::snprintf(s, sizeof s, "echo wrong: sent %02X, line gave back %02X", echo_.front(), b);
        note(t_ms, s);
        echo_mismatch_ = true;
        echo_.clear();  // the request is spoilt; what follows is judged as answer bytes
        continue;
      }
      echo_.pop_front();
      continue;
    }
    take(b, t_ms);
  }
  last_byte_ms_ = t_ms;
}

void WireAssembler::idle(double t_ms) {
  if (partial_.empty() || t_ms - last_byte_ms_ <= gap_limit_ms_) return;
  char s[96];
  std::snprintf(s, sizeof s, "frame cut short after %zu byte(s) (gap longer than %.0f ms): dropped", partial_.size(),
                gap_limit_ms_);
  note(last_byte_ms_, s);
  ++cuts_;
  // What followed the false start may hold a whole frame; whatever stays partial of it
  // ended in the same silence and is noise.
  while (!partial_.empty()) rescan_partial();
}

int WireAssembler::wanted() const {
  const auto at = [this](std::size_t i) { return partial_[i].b; };
  if (protocol_ == WireProtocol::Kwp) {
    if (tester_) {
      // Only a frame with addresses, the tester's as target, can be an answer to it.
      if ((at(0) & kwp::kPhysical) == 0) return -1;
      if (partial_.size() > kwp::kTargetAt && at(kwp::kTargetAt) != *tester_) return -1;
    }
    std::uint8_t head[4];
    const std::size_t n = std::min<std::size_t>(partial_.size(), sizeof head);
    for (std::size_t i = 0; i < n; ++i) head[i] = at(i);
    return kwp_frame_size(head, n);
  }
  const std::uint8_t head[2] = {at(0), partial_.size() > 1 ? at(1) : std::uint8_t{0}};
  return aldl::frame_size(head, partial_.size());
}

void WireAssembler::rescan_partial() {
  const std::vector<Timed> rest(partial_.begin() + 1, partial_.end());
  partial_.clear();
  ++skipped_;
  for (const Timed &r : rest) take(r.b, r.t_ms);
}

void WireAssembler::take(std::uint8_t b, double t_ms) {
  if (partial_.empty() && protocol_ == WireProtocol::Aldl && b != aldl_device_) {
    ++skipped_;
    return;
  }
  partial_.push_back({b, t_ms});
  const int size = wanted();
  if (size < 0) {
    // Not a frame start: look again from the next byte (for ALDL this is the
    // resynchronisation on the next device identifier).
    rescan_partial();
    return;
  }
  if (size == 0 || partial_.size() < static_cast<std::size_t>(size)) return;

  if (skipped_ != 0) {
    note(partial_.front().t_ms, std::to_string(skipped_) + " byte(s) of noise skipped before the frame");
    skipped_ = 0;
  }
  WireFrame f;
  f.bytes.reserve(partial_.size());
  for (const Timed &p : partial_) f.bytes.push_back(p.b);
  f.start_ms = partial_.front().t_ms;
  f.end_ms = t_ms;
  f.checksum_ok = protocol_ == WireProtocol::Kwp ? kwp::checksum_ok(f.bytes.data(), f.bytes.size())
                                                 : aldl::checksum_ok(f.bytes.data(), f.bytes.size());
  const bool spoilt = !f.checksum_ok;
  frames_.push_back(std::move(f));
  if (!spoilt) {
    partial_.clear();
    return;
  }
  // A spoilt frame may have begun at a false start: its bytes after the first are looked
  // at again; those that start nothing are the spoilt frame's, not noise, and so is its
  // checksum byte left alone as a frame start.
  rescan_partial();
  if (partial_.size() == 1) partial_.clear();
  if (partial_.empty()) skipped_ = 0;
}

std::optional<WireFrame> WireAssembler::next_frame() {
  if (frames_.empty()) return std::nullopt;
  WireFrame f = std::move(frames_.front());
  frames_.pop_front();
  return f;
}

void WireAssembler::note(double t_ms, std::string text) { notes_.push_back({t_ms, std::move(text)}); }

std::vector<WireNote> WireAssembler::take_notes() {
  std::vector<WireNote> n;
  n.swap(notes_);
  return n;
}

}  // namespace vci
