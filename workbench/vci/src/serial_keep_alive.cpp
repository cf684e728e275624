// The keep-alive of a real cable: a thread of its own sends the armed frame whenever the line
// idled for the keep-alive period, also while nobody calls the interface.
#include "serial_line.h"

#include "line_timing.h"

#include <algorithm>
#include <chrono>
#include <iterator>

namespace vci {

int SerialLine::set_link_keep(const std::uint8_t *frame, int length, int a, int b) {
  Lock l(mutex_);
  if (!frame || length <= 0) {
    if (keep_alive_) trace_.event(now(), "keep-alive stopped");
    keep_alive_.reset();
    return 0;
  }
  if (length > static_cast<int>(kMaxKwpFrame) || kwp_frame_size(frame, static_cast<std::size_t>(length)) != length) {
    set_error("keep-alive frame length does not match its format byte");
    return -1;
  }
  keep_alive_ = WireBytes(frame, frame + length);
  keep_alive_failures_ = 0;
  keep_alive_retry_at_ = 0;
  trace_.event(now(), "keep-alive armed: " + WireTrace::hex(*keep_alive_) +
                          fmt(" when the line idles %.0f ms (%.0f, %.0f)", kKeepAlivePeriod, a, b));
  l.unlock();
  keeper_wake_.notify_all();
  return 0;
}

void SerialLine::keeper_loop() {
  Lock l(mutex_);
  while (!stopping_) {
    if (!keep_alive_ || !port_ || baud_ <= 0) {
      keeper_wake_.wait(l);
      continue;
    }
    // After a failure the next try waits out the back-off, however idle the line looks.
    const double due = std::max({last_activity_ + kKeepAlivePeriod, line_free_at_, keep_alive_retry_at_});
    const double t = now();
    if (t < due) {
      keeper_wake_.wait_for(l, std::chrono::duration<double, std::milli>(due - t));
      continue;
    }
    // The answer is read and dropped; a failure is a note in the trace, never the caller's
    // error or a spoilt batch: the caller's next request tells its own story.
    trace_.event(now(), "keep-alive");
    const Exchange ex = kwp_exchange(*keep_alive_, Origin::KeepAlive);
    if (ex.ok()) {
      keep_alive_failures_ = 0;
      keep_alive_retry_at_ = 0;
    } else if (port_) {
      ++keep_alive_failures_;
      const std::size_t step =
          std::min<std::size_t>(static_cast<std::size_t>(keep_alive_failures_), std::size(kKeepAliveBackoff)) - 1;
      keep_alive_retry_at_ = now() + kKeepAliveBackoff[step];
      trace_.event(now(), "keep-alive unanswered (" + std::to_string(keep_alive_failures_) + " in a row)" +
                              fmt(": next try in %.0f ms", kKeepAliveBackoff[step]));
    }
  }
}

}  // namespace vci
